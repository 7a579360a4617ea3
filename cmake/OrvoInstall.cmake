# What `cmake --install` puts under the prefix, by the freedesktop conventions, and the Debian
# package CPack makes of it: the three programs, the menu entry, the icons, the program files'
# MIME type, the AppStream metainfo, the manual pages and the user guide.

install(TARGETS orvo-editor orvo-sim orvo-prg RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(_desktop ${PROJECT_SOURCE_DIR}/resources/desktop)
set(_made ${PROJECT_BINARY_DIR}/desktop)
configure_file(${_desktop}/orvo-editor.desktop.in ${_made}/${ORVO_APP_ID}.desktop @ONLY)
configure_file(${_desktop}/orvo-editor.metainfo.xml.in ${_made}/${ORVO_APP_ID}.metainfo.xml @ONLY)
configure_file(${_desktop}/orvo-program.xml.in ${_made}/${ORVO_APP_ID}.xml @ONLY)
install(FILES ${_made}/${ORVO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_made}/${ORVO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_made}/${ORVO_APP_ID}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# The artwork generator draws resources/icons/icon-N.png at each size of the theme, and icon.svg.
file(GLOB _icons ${PROJECT_SOURCE_DIR}/resources/icons/icon-*.png)
foreach(icon ${_icons})
  string(REGEX MATCH "icon-([0-9]+)\\.png$" _match ${icon})
  set(_size ${CMAKE_MATCH_1})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
    RENAME ${ORVO_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/icon.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${ORVO_APP_ID}.svg)

install(FILES ${PROJECT_SOURCE_DIR}/docs/man/orvo-editor.1 ${PROJECT_SOURCE_DIR}/docs/man/orvo-sim.1
  ${PROJECT_SOURCE_DIR}/docs/man/orvo-prg.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/docs/userguide.md
  ${PROJECT_SOURCE_DIR}/resources/Orvo_userguide-V122.pdf DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package. Its dependencies are the Debian packages of the shared libraries the
# three programs link (Qt, RtMidi, libpng, zlib and the C++ run-time), as dpkg-shlibdeps finds
# them; the platform plug-ins Qt needs come with libqt6gui6.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvo-editor)
set(CPACK_PACKAGE_VENDOR "Brindle-Audio")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and librarian for the Orvo bass synthesizer")
set(CPACK_PACKAGE_CONTACT "${ORVO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The synopsis is the summary above; CPack indents these lines and marks the empty one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Every parameter of the Orvo on one panel of knobs, sliders
and switches that edit the unit live over MIDI; program files loaded, saved
and opened from the file manager, single and batch transfers between files
and the unit, and the unit's firmware update.

Also holds orvo-sim, a virtual Orvo on MIDI ports, and orvo-prg, which
converts program files and system-exclusive messages for scripts.")
include(CPack)
