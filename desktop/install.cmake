# Installing Quarrow (GNUInstallDirs) and packaging it for Debian with CPack (`cpack -G DEB`).
set(QUARROW_DESKTOP_DIR ${CMAKE_CURRENT_LIST_DIR})

install(TARGETS quarrow-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The man pages, compressed as Debian keeps them.
set(QUARROW_MAN_PAGES quarrow-cli.1)
if(TARGET quarrow)
    list(PREPEND QUARROW_MAN_PAGES quarrow.1)
endif()
foreach(page ${QUARROW_MAN_PAGES})
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND gzip -9 -n -c ${QUARROW_DESKTOP_DIR}/${page} > ${CMAKE_BINARY_DIR}/man/${page}.gz
        DEPENDS ${QUARROW_DESKTOP_DIR}/${page}
        VERBATIM)
    list(APPEND QUARROW_MAN_FILES ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
# The changelog, compressed as Debian keeps it, goes with the copyright file into the doc folder.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
    COMMAND gzip -9 -n -c ${QUARROW_DESKTOP_DIR}/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
    DEPENDS ${QUARROW_DESKTOP_DIR}/changelog
    VERBATIM)
add_custom_target(quarrow_man_pages ALL DEPENDS ${QUARROW_MAN_FILES} ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${QUARROW_MAN_FILES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${QUARROW_DESKTOP_DIR}/copyright ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${QUARROW_INSTALL_DOCDIR})

if(TARGET quarrow)
    install(TARGETS quarrow RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

    configure_file(${QUARROW_DESKTOP_DIR}/quarrow.desktop.in ${CMAKE_BINARY_DIR}/${QUARROW_APP_ID}.desktop @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/${QUARROW_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)

    # The file type of listings that the desktop entry names.
    install(FILES ${QUARROW_DESKTOP_DIR}/quarrow-listing.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages
        RENAME ${QUARROW_APP_ID}.xml)

    configure_file(${QUARROW_DESKTOP_DIR}/quarrow.metainfo.xml.in
        ${CMAKE_BINARY_DIR}/${QUARROW_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/${QUARROW_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

    # The icon drawn by res/draw_artwork.py, in the desktop's icon theme under the application id.
    foreach(size 16 24 32 48 64 128 256)
        install(FILES ${CMAKE_SOURCE_DIR}/res/icons/quarrow-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${QUARROW_APP_ID}.png)
    endforeach()
    install(FILES ${CMAKE_SOURCE_DIR}/res/icons/quarrow.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps
        RENAME ${QUARROW_APP_ID}.svg)

    # The user guide the About box links to, and the README with its pictures where its links expect them.
    install(FILES ${CMAKE_SOURCE_DIR}/docs/user-guide.html ${CMAKE_SOURCE_DIR}/README.md
        DESTINATION ${QUARROW_INSTALL_DOCDIR})
    install(FILES ${CMAKE_SOURCE_DIR}/docs/main-window.png ${CMAKE_SOURCE_DIR}/docs/ripple.png
        ${CMAKE_SOURCE_DIR}/docs/read-trace.png ${CMAKE_SOURCE_DIR}/docs/layout-map.png
        DESTINATION ${QUARROW_INSTALL_DOCDIR}/docs)
endif()

set(CPACK_PACKAGE_NAME quarrow)
set(CPACK_PACKAGE_VENDOR "Pellam")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sorts the file listing of a disc image and saves it in the new order")
set(CPACK_PACKAGE_DESCRIPTION
    "Quarrow reads a text listing of the files on a disc image, shows it as a table, sorts it by a click
on a column header and writes it back in its new order as Sorted-<name>. The package holds the window
program quarrow and the command-line tool quarrow-cli.")
set(CPACK_PACKAGE_CONTACT "The Quarrow maintainers <maintainers@quarrow.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The shared libraries (Qt 6 and the C++ runtime) come from dpkg-shlibdeps; the window needs Qt's
# platform plugins and the fonts its layout is measured in besides.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core, fonts-dejavu-extra")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
