# Installing the programs with their desktop integration, and the Debian
# package made from that installation by CPack (tools/package.sh).
#
#   bin/                                  trakomer, trakomer-cli (and trastart)
#   share/trakomer/                       shipped data (platform/CMakeLists.txt)
#   share/applications/, share/metainfo/  desktop entry, AppStream metadata
#   share/icons/hicolor/                  256 px and scalable icons
#   share/man/man1/                       manual pages
include(GNUInstallDirs)

set(TRAKOMER_APP_ID org.example.trakomer)
set(linux_dir ${CMAKE_SOURCE_DIR}/resources/linux)

foreach(program IN ITEMS trakomer trakomer-cli trastart)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

install(FILES ${linux_dir}/${TRAKOMER_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${linux_dir}/${TRAKOMER_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${linux_dir}/${TRAKOMER_APP_ID}.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${linux_dir}/${TRAKOMER_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages are installed compressed, as Debian expects.
set(man_outputs "")
foreach(page IN ITEMS trakomer.1 trakomer-cli.1)
  set(out ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9nc ${linux_dir}/${page} > ${out}
    DEPENDS ${linux_dir}/${page}
    COMMENT "Compressing ${page}")
  list(APPEND man_outputs ${out})
endforeach()
add_custom_target(trakomer_man_pages ALL DEPENDS ${man_outputs})
install(FILES ${man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trakomer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Trakomer developers <trakomer@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "GPS activity recorder")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Records walks, runs, rides and drives from a GPS receiver's NMEA sentences, shows live\n"
  "figures, speaks them, saves Magellan, Google Earth and GPS Exchange files and uploads\n"
  "the position or track by FTP.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://trakomer.example.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Mesa drivers of EGL and GL are loaded at run time, not linked, as are
# libcurl, OpenSSL, SQLite, SDL, libsystemd and libudev (opened on first use), so
# dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libgl1-mesa-dri, libegl-mesa0, libcurl4, libssl3, libsqlite3-0, libsdl2-2.0-0, libsystemd0, libudev1")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gpsbabel")
set(CPACK_STRIP_FILES ON)
include(CPack)

if(NOT TRAKOMER_ONLY_MODULES)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/install ${CMAKE_BINARY_DIR}/tests/install)
endif()
