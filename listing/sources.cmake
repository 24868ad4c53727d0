# Sources of listing/: QUARROW_CORE_SOURCES (pure) and QUARROW_QT_SOURCES (Qt side).
list(APPEND QUARROW_CORE_SOURCES
    listing/listing_format.cpp
    listing/line_reader.cpp
    listing/regular_file.cpp
    listing/atomic_file_writer.cpp
    listing/listing_rows.cpp
    listing/sort_weights.cpp
    listing/layout_check.cpp
    listing/scan_rules.cpp
)
list(APPEND QUARROW_QT_SOURCES
    listing/file_error_exit.cpp
    listing/main_dlg_load.cpp
    listing/main_dlg_save.cpp
    listing/message_pump.cpp
)
