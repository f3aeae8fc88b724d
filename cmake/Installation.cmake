# What `cmake --install` puts where, and the Debian package `cpack -G DEB` makes of it.
include(GNUInstallDirs)

install(TARGETS skizzomat RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/${SKIZZOMAT_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/${SKIZZOMAT_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(resources/${SKIZZOMAT_APP_ID}.metainfo.xml.in ${SKIZZOMAT_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${SKIZZOMAT_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
configure_file(resources/skizzomat.1.in skizzomat.1 @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/skizzomat.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skizzomat)
set(CPACK_PACKAGE_VERSION ${SKIZZOMAT_VERSION})
set(CPACK_PACKAGE_VENDOR Quenderwerk)
set(CPACK_PACKAGE_CONTACT "Quenderwerk <kontakt@skizzomat.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "draw on a frozen image of the screen")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://skizzomat.example/)
# The first line of the package's description is the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Skizzomat freezes a monitor and lets you draw on its picture: pens and
highlighters, lines, arrows, rectangles, ellipses, text, check marks and
crosses, a magnifier, a zoom view and ruled sheets. The picture goes to the
clipboard, to image files, to a new e-mail message or to a printer.
The interface is in German.")
# The libraries come from dpkg-shlibdeps. Text is drawn in Liberation Sans and the symbols in
# DejaVu Sans; xdg-open and xdg-email hand web pages and e-mail to the desktop's programs; Qt's
# own texts (shortcut names, file and printer dialogs) come in German from its translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dejavu-core, xdg-utils, qt6-translations-l10n")
include(CPack)
