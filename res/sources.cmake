# Sources of res/: QUARROW_CORE_SOURCES (pure) and QUARROW_QT_SOURCES (Qt side).
list(APPEND QUARROW_CORE_SOURCES res/dialog_template.cpp)
# Pictures compiled into the Qt side (paths relative to the top folder; served under ":/").
set(QUARROW_RESOURCE_FILES)
