# Sources of table/: QUARROW_CORE_SOURCES (pure) and QUARROW_QT_SOURCES (Qt side).
list(APPEND QUARROW_CORE_SOURCES
    table/row_compare.cpp
    table/text_collator.cpp
    table/header_geometry.cpp
    table/width_record.cpp
)
list(APPEND QUARROW_QT_SOURCES table/column_list_ctrl.cpp table/column_header_ctrl.cpp)
