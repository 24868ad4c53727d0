# Sources of platform/: QUARROW_CORE_SOURCES (pure) and QUARROW_QT_SOURCES (Qt side).
list(APPEND QUARROW_CORE_SOURCES platform/atoi.cpp platform/palette.cpp platform/display_text.cpp platform/list_rows.cpp
    platform/radix_sort.cpp platform/row_moves.cpp)
list(APPEND QUARROW_QT_SOURCES
    platform/button.cpp
    platform/dc.cpp
    platform/dialog.cpp
    platform/dialog_widget.h
    platform/event_relay.cpp
    platform/file_drop.cpp
    platform/header_ctrl.cpp
    platform/header_view.cpp
    platform/header_view.h
    platform/list_ctrl.cpp
    platform/list_model.cpp
    platform/list_model.h
    platform/list_view_widget.cpp
    platform/list_view_widget.h
    platform/menu.cpp
    platform/message_box.cpp
    platform/process_exit.cpp
    platform/picture_holder.cpp
    platform/progress_ctrl.cpp
    platform/shell_execute.cpp
    platform/static_ctrl.cpp
    platform/text_alignment.cpp
    platform/tooltip_ctrl.cpp
    platform/wait_cursor.cpp
    platform/win_app.cpp
    platform/window_gone_filter.cpp
    platform/window_timers.cpp
    platform/wnd.cpp
)
