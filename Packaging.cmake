# SPDX-License-Identifier: GPL-3.0-or-later
# Installation into the standard places and the Debian package (cpack -G DEB); for Windows the
# batch tool's ZIP archive (cpack -G ZIP).
include(GNUInstallDirs)

# Windows: zentrix-cli-<version>-win64.zip with the batch tool, the README, the manual and the
# licence.
if(WIN32)
  install(TARGETS zentrix-cli RUNTIME DESTINATION .)
  install(FILES README.md DESTINATION .)
  install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
  file(GLOB _handbuch_dateien CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/docs/Handbuch.md
                                                ${CMAKE_CURRENT_SOURCE_DIR}/docs/*.png)
  install(FILES ${_handbuch_dateien} DESTINATION Handbuch)
  install(DIRECTORY docs/beispiel DESTINATION Handbuch)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME zentrix-cli)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_FILE_NAME zentrix-cli-${PROJECT_VERSION}-win64)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
  return()
endif()

install(TARGETS zentrix-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The manual pages (the batch tool's, and the window's where it is built), with the project's
# version, compressed as Debian wants them.
set(_manpages zentrix-cli)
if(ZENTRIX_WITH_QT)
  list(APPEND _manpages Zentrix)
endif()
set(_manpages_gz)
foreach(_m ${_manpages})
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/${_m}.1 ${CMAKE_CURRENT_BINARY_DIR}/${_m}.1 @ONLY)
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${_m}.1.gz
                     COMMAND gzip -9nfk ${_m}.1
                     DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${_m}.1
                     WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  list(APPEND _manpages_gz ${CMAKE_CURRENT_BINARY_DIR}/${_m}.1.gz)
endforeach()
add_custom_target(zentrix_manpage ALL DEPENDS ${_manpages_gz})
install(FILES ${_manpages_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The manual with its pictures and example files, beside the package's other documentation.
file(GLOB _handbuch_dateien CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/docs/Handbuch.md
                                              ${CMAKE_CURRENT_SOURCE_DIR}/docs/*.png)
install(FILES ${_handbuch_dateien} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zentrix)
install(DIRECTORY docs/beispiel DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zentrix)

# What Debian wants beside them: the copyright in its machine-readable format, the changelog
# (compressed), and lintian's overrides of what is meant as it is.
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
                   COMMAND gzip -9nfk changelog
                   DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog
                   WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
add_custom_target(zentrix_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
install(FILES packaging/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zentrix)

if(ZENTRIX_WITH_QT)
  install(TARGETS Zentrix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The batch tool's picture module, where the batch tool looks for it (lib/zentrix/module beside
  # bin). A folder one below lib/zentrix: CPack gives a package with a shared object in lib/ or
  # one below it ldconfig calls, which a module that no program links does not need.
  install(TARGETS zentrix_grafik_modul LIBRARY DESTINATION lib/zentrix/module)
  # The menu entry and the icon, where desktops look for them.
  install(FILES packaging/zentrix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  # What software centres show of the program (AppStream).
  install(FILES packaging/org.zentrix.Zentrix.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES packaging/icons/zentrix.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(_size 16 22 24 32 48 64 128 256)
    install(FILES packaging/icons/zentrix-${_size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps RENAME zentrix.png)
  endforeach()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zentrix")
set(CPACK_PACKAGE_CONTACT "Zentrix <zentrix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Kugelmittelpunkt aus Punkten der Kugeloberfläche")
# Lines of at most 80 characters, as Debian wants them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Berechnet den Mittelpunkt einer Reflektorkugel bekannten Radius aus Punkten\n"
       "ihrer Oberfläche (rechtwinklige Koordinaten oder Polarbeobachtungen von einem\n"
       "Standpunkt), mit der Genauigkeit des Mittelpunkts und einer Verbesserung je\n"
       "Punkt, und wertet Beobachtungsdateien aus. Enthält das Fensterprogramm Zentrix\n"
       "und das Stapelwerkzeug zentrix-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The libraries the programs link come from the binaries themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# German standard dialogs, the Tahoma stand-in and Qt's desktop integrations where available.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-wine, qt6-qpa-plugins")
include(CPack)
