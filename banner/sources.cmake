# Sources of banner/: QUARROW_CORE_SOURCES (pure) and QUARROW_QT_SOURCES (Qt side).
list(APPEND QUARROW_CORE_SOURCES banner/dib_format.cpp banner/water_effect.cpp)
list(APPEND QUARROW_QT_SOURCES
    banner/dib_image.cpp
    banner/main_dlg_banner.cpp
)
