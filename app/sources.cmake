# Sources of app/: QUARROW_CORE_SOURCES (pure) and QUARROW_QT_SOURCES (Qt side).
list(APPEND QUARROW_CORE_SOURCES app/command_line.cpp)
list(APPEND QUARROW_QT_SOURCES
    app/desktop_start.cpp
    app/main_app.cpp
    app/current_directory.cpp
    app/main_dlg.cpp
    app/main_dlg_about.cpp
    app/main_dlg_browse.cpp
    app/main_dlg_export.cpp
    app/main_dlg_disc.cpp
    app/main_dlg_replace.cpp
    app/run_while_live.cpp
    app/main_dlg_desktop.cpp
    app/main_dlg_layout.cpp
    app/main_dlg_rows.cpp
    app/about_dlg.cpp
    app/folder_file_dialog.cpp
    app/link_static.cpp
    app/main_dlg_trace.cpp
    app/layout_map_view.cpp
    app/layout_map_wnd.cpp
)
# The user guide the About box links to lies next to the program.
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/docs/user-guide.html ${CMAKE_BINARY_DIR}/user-guide.html COPYONLY)
