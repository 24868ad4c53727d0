# Sources of app/: QUARROW_CORE_SOURCES (pure) and QUARROW_QT_SOURCES (Qt side).
list(APPEND QUARROW_QT_SOURCES
    app/main_app.cpp
    app/main_dlg.cpp
)
