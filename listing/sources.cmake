# Sources of listing/: QUARROW_CORE_SOURCES (pure) and QUARROW_QT_SOURCES (Qt side).
list(APPEND QUARROW_CORE_SOURCES
    listing/listing_format.cpp
    listing/line_reader.cpp
    listing/scan_rules.cpp
)
