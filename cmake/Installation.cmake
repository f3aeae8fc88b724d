# What `cmake --install` puts where, and the Debian package `cpack -G DEB` makes of it.
include(GNUInstallDirs)

install(TARGETS skizzomat RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (the package's) also drops the compilers' version notes in .comment, which
# nothing reads at run time, as Debian's own packaging does.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/skizzomat\"
                    COMMAND_ERROR_IS_FATAL ANY)
endif()")
install(FILES resources/${SKIZZOMAT_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/${SKIZZOMAT_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(resources/${SKIZZOMAT_APP_ID}.metainfo.xml.in ${SKIZZOMAT_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${SKIZZOMAT_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The man page and the changelog go compressed, without name and time stamp in the gzip
# header, so that the same sources give the same package.
find_program(SKZ_GZIP gzip REQUIRED)
mark_as_advanced(SKZ_GZIP)
configure_file(resources/skizzomat.1.in skizzomat.1 @ONLY)
execute_process(COMMAND ${SKZ_GZIP} -9nkf skizzomat.1 WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/skizzomat.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

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
# The licence allows passing the program on only unchanged and free of charge, so the package
# belongs to Debian's non-free part.
set(CPACK_DEBIAN_PACKAGE_SECTION non-free/graphics)
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
# Printing goes through libcups (above) to a CUPS print server; on a desktop that is the local
# one. The e-mail route needs nothing beyond xdg-utils and the desktop's own mail program.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS cups)

# What Debian wants beside the program in /usr/share/doc: the copyright and licence in the
# machine-readable format, and the changelog of the package, its one entry made from the version
# and dated on the release day. The overrides tell lintian which of its findings are intended.
set(skz_doc ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
install(FILES resources/copyright DESTINATION ${skz_doc})
string(REGEX MATCH "^([0-9]+)-0?([0-9]+)-0?([0-9]+)$" skz_datum "${SKIZZOMAT_RELEASE_DATE}")
set(skz_j ${CMAKE_MATCH_1})
set(skz_m ${CMAKE_MATCH_2})
set(skz_t ${CMAKE_MATCH_3})
# The weekday (0 is Sunday) by Sakamoto's method.
set(skz_versaetze 0 3 2 5 0 3 5 1 4 6 2 4)
set(skz_wochentage Sun Mon Tue Wed Thu Fri Sat)
set(skz_monate Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
math(EXPR skz_i "${skz_m} - 1")
list(GET skz_versaetze ${skz_i} skz_versatz)
list(GET skz_monate ${skz_i} skz_monat)
set(skz_jj ${skz_j})
if(skz_m LESS 3)
    math(EXPR skz_jj "${skz_j} - 1")
endif()
math(EXPR skz_wt "(${skz_jj} + ${skz_jj} / 4 - ${skz_jj} / 100 + ${skz_jj} / 400 + ${skz_versatz} + ${skz_t}) % 7")
list(GET skz_wochentage ${skz_wt} skz_wochentag)
set(skz_changelog_date "${skz_wochentag}, ${skz_t} ${skz_monat} ${skz_j} 00:00:00 +0000")
configure_file(resources/changelog.Debian.in changelog.Debian @ONLY)
execute_process(COMMAND ${SKZ_GZIP} -9nkf changelog.Debian WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz DESTINATION ${skz_doc})
install(FILES resources/skizzomat.lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME ${CPACK_PACKAGE_NAME})
include(CPack)
