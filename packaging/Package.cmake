# The Debian package, tovi_<version>_<arch>.deb: cpack in a Release build configured for /usr with the
# program in /usr/games (tools/package.sh does both) packs the install, which holds besides the program and
# its data the licence, the Debian changelog, the AppStream metadata and the manual page compressed as
# Debian wants them. Every `cmake --install` installs these too, whatever its prefix.

# The project's public web address: with one, the package and its AppStream metadata name it, and the
# metadata shows the screenshots of docs/screenshots as the address serves them.
set(TOVI_WEB_ADDRESS "" CACHE STRING "The project's public web address (none yet: empty)")
set(TOVI_APPSTREAM_ID org.tovi.Tovi)

# packaging/changelog names the release: its first entry must be this version, and its sign-off line gives
# the package's maintainer and the release date.
set(tovi_changelog "${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${tovi_changelog}")
file(STRINGS "${tovi_changelog}" tovi_release LIMIT_COUNT 1)
file(STRINGS "${tovi_changelog}" tovi_signoff REGEX "^ -- " LIMIT_COUNT 1)
string(REPLACE "." "\\." tovi_version_pattern "${PROJECT_VERSION}")
if(NOT tovi_release MATCHES "^tovi \\(${tovi_version_pattern}\\) ")
  message(FATAL_ERROR "packaging/changelog: the first entry is not version ${PROJECT_VERSION}: ${tovi_release}")
endif()
if(NOT tovi_signoff MATCHES "^ -- (.+ <.+>)  [A-Z][a-z][a-z], ([0-9]+) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "packaging/changelog: no sign-off line \" -- Name <address>  Day, DD Mon YYYY ...\"")
endif()
set(tovi_maintainer "${CMAKE_MATCH_1}")
set(tovi_day "${CMAKE_MATCH_2}")
set(tovi_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND tovi_months "${CMAKE_MATCH_3}" tovi_month)
if(tovi_month LESS 0)
  message(FATAL_ERROR "packaging/changelog: the sign-off's month is not one: ${tovi_signoff}")
endif()
math(EXPR tovi_month "${tovi_month} + 1")
foreach(part tovi_day tovi_month)
  string(LENGTH "${${part}}" length)
  if(length EQUAL 1)
    set(${part} "0${${part}}")
  endif()
endforeach()
set(TOVI_RELEASE_DATE "${CMAKE_MATCH_4}-${tovi_month}-${tovi_day}")

set(TOVI_METAINFO_WEB "")
if(TOVI_WEB_ADDRESS)
  string(REGEX REPLACE "/+$" "" tovi_web "${TOVI_WEB_ADDRESS}")
  string(APPEND TOVI_METAINFO_WEB "\n  <url type=\"homepage\">${tovi_web}</url>\n  <screenshots>")
  # The first one is the one a software centre shows first.
  set(kind " type=\"default\"")
  foreach(shot "02-one-globe:One plasma globe in the star field" "03-three-globes:Three plasma globes"
      "04-menu:The popup menu of settings" "07-saver:Tovi as a screensaver")
    string(REGEX MATCH "^([^:]+):(.*)$" shot "${shot}")
    string(APPEND TOVI_METAINFO_WEB "\n    <screenshot${kind}>\n      <caption>${CMAKE_MATCH_2}</caption>\n"
      "      <image>${tovi_web}/docs/screenshots/${CMAKE_MATCH_1}.png</image>\n    </screenshot>")
    set(kind "")
  endforeach()
  string(APPEND TOVI_METAINFO_WEB "\n  </screenshots>")
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${tovi_web}")
endif()
set(tovi_metainfo "${CMAKE_CURRENT_BINARY_DIR}/${TOVI_APPSTREAM_ID}.metainfo.xml")
configure_file(packaging/tovi.metainfo.xml.in "${tovi_metainfo}" @ONLY)

# The manual page and the changelog gzipped with the most compression and no name or time stamp inside, so
# the same sources give the same bytes.
find_program(TOVI_GZIP gzip REQUIRED)
set(tovi_compressed "${CMAKE_CURRENT_BINARY_DIR}/compressed")
add_custom_command(OUTPUT "${tovi_compressed}/tovi.6.gz" "${tovi_compressed}/changelog.gz"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${tovi_compressed}"
  COMMAND ${CMAKE_COMMAND} -E copy "${CMAKE_CURRENT_BINARY_DIR}/tovi.6" "${tovi_changelog}" "${tovi_compressed}"
  COMMAND ${TOVI_GZIP} -9nf "${tovi_compressed}/tovi.6" "${tovi_compressed}/changelog"
  DEPENDS "${CMAKE_CURRENT_BINARY_DIR}/tovi.6" "${tovi_changelog}"
  VERBATIM)
add_custom_target(tovi_compressed_docs ALL DEPENDS "${tovi_compressed}/tovi.6.gz" "${tovi_compressed}/changelog.gz")

install(FILES "${tovi_compressed}/tovi.6.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES "${tovi_metainfo}" DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/copyright "${tovi_compressed}/changelog.gz" DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tovi)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovi)
set(CPACK_PACKAGE_CONTACT "${tovi_maintainer}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "glass plasma globes drifting through a star field")
set(CPACK_PACKAGE_DESCRIPTION [[
Up to three glass globes drift through a star field, each with forty
flickering plasma arcs that run from a small electrode to the glass, drawn in
real-time 3-D with OpenGL. A logo scene opens the run; then the camera flies
with the mouse and the arrow keys, or wanders by itself.

About thirty parameters are tuned with single keys or with popup menus drawn
inside the view, and saved to a small preferences file. Quitting shatters the
last picture while the screen fades out.

Tovi is also a screensaver for xscreensaver and xsecurelock.]])
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# Depends: the packages of the libraries the program really loads, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Read by cpack before it packages. The program and its manual page name the data folder of the prefix the
# build was configured with, and Debian's games live in /usr/games: only a build configured that way is
# packaged.
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_BINARY_DIR}/CPackLayout.cmake")
file(CONFIGURE OUTPUT "${CPACK_PROJECT_CONFIG_FILE}" @ONLY CONTENT [[
if(NOT "@CMAKE_INSTALL_PREFIX@" STREQUAL "/usr" OR NOT "@CMAKE_INSTALL_BINDIR@" STREQUAL "games")
  message(FATAL_ERROR "A Debian package installs the program as /usr/games/tovi, but this build is configured "
    "for @CMAKE_INSTALL_PREFIX@/@CMAKE_INSTALL_BINDIR@/tovi: configure it with -DCMAKE_INSTALL_PREFIX=/usr "
    "-DCMAKE_INSTALL_BINDIR=games (tools/package.sh does).")
endif()
]])
include(CPack)
