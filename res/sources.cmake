# Sources of res/: QUARROW_CORE_SOURCES (pure) and QUARROW_QT_SOURCES (Qt side).
list(APPEND QUARROW_CORE_SOURCES res/dialog_template.cpp res/string_table.cpp)
# Pictures compiled into the Qt side (paths relative to the top folder; served under ":/").
set(QUARROW_RESOURCE_FILES)
# Our own artwork, drawn by res/draw_artwork.py.
list(APPEND QUARROW_RESOURCE_FILES res/bitmap138.bmp res/bitmap139.bmp res/bitmap140.bmp res/icon128.png)
