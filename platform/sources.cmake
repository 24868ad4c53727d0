# Sources of platform/: QUARROW_CORE_SOURCES (pure) and QUARROW_QT_SOURCES (Qt side).
