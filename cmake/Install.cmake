# Install rules, the desktop entry and its icons, the manual page, the
# AppStream metadata, the license and changelog, and the Debian package.
include(GNUInstallDirs)

# Folders made by an install are rwxr-xr-x whatever the umask, as Debian
# wants them, and the package's bytes do not depend on who built it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian's games go to /usr/games and /usr/lib/games; a plain install under a
# prefix keeps bin/ and lib/battleships. The package always takes the games
# layout, from install rules of its own (component Package).
option(BATTLESHIPS_GAMES_LAYOUT
  "cmake --install in Debian's layout for games (games/, lib/games/battleships), as the package is" OFF)

# The manual page and the changelog go compressed; -n leaves the file's name
# and time out of the header, so that the package builds the same bytes.
find_program(GZIP gzip REQUIRED)
set(BATTLESHIPS_DOC_DIR ${CMAKE_BINARY_DIR}/doc)
set(BATTLESHIPS_DOC_GZ)
foreach(source battleships.6 changelog)
  set(gz ${BATTLESHIPS_DOC_DIR}/${source}.gz)
  add_custom_command(
    OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/${source} ${BATTLESHIPS_DOC_DIR}/${source}
    COMMAND ${GZIP} -9nf ${BATTLESHIPS_DOC_DIR}/${source}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/${source}
    COMMENT "Compressing ${source}"
    VERBATIM)
  list(APPEND BATTLESHIPS_DOC_GZ ${gz})
endforeach()
add_custom_target(doc ALL DEPENDS ${BATTLESHIPS_DOC_GZ})

# Debian's copyright file carries the license text of LICENSE, from its
# permission notice on, each line indented and blank lines as " .".
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
file(READ ${CMAKE_SOURCE_DIR}/LICENSE license)
string(FIND "${license}" "Permission is hereby granted" notice)
if(notice LESS 0)
  message(FATAL_ERROR "LICENSE has no permission notice")
endif()
string(SUBSTRING "${license}" ${notice} -1 license)
string(STRIP "${license}" license)
string(REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " license "${license}")
set(BATTLESHIPS_LICENSE_TEXT " ${license}")
configure_file(data/copyright.in ${BATTLESHIPS_DOC_DIR}/copyright @ONLY)

# One set of rules for one layout: the command in `bindir`, game, launcher
# and launcher.xml side by side in `folder` (the launcher looks for the other
# two relative to its working folder). Further arguments go to every rule.
function(battleships_install bindir folder)
  install(TARGETS game launcher DESTINATION ${folder} ${ARGN})
  install(FILES data/launcher.xml DESTINATION ${folder} ${ARGN})
  install(FILES data/battleships.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications ${ARGN})
  install(FILES data/battleships.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo ${ARGN})
  install(FILES ${BATTLESHIPS_ICON_SVG}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps ${ARGN})
  foreach(size IN LISTS BATTLESHIPS_ICON_SIZES)
    install(FILES ${CMAKE_BINARY_DIR}/icons/${size}x${size}/battleships.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps ${ARGN})
  endforeach()
  install(FILES ${BATTLESHIPS_DOC_DIR}/battleships.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 ${ARGN})
  install(FILES ${BATTLESHIPS_DOC_DIR}/copyright ${BATTLESHIPS_DOC_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/battleships ${ARGN})

  # The command names its folder by absolute path, so it is written at
  # install time, when the prefix is known (cmake --install --prefix, or
  # cpack's /usr). A stripping install also drops the compiler's notes, as
  # Debian's own packages do.
  install(CODE "
    set(BATTLESHIPS_COMMAND_TEMPLATE \"${CMAKE_SOURCE_DIR}/data/battleships.in\")
    set(BATTLESHIPS_COMMAND_STAGING \"${CMAKE_BINARY_DIR}/command\")
    set(BATTLESHIPS_INSTALL_FOLDER \"${folder}\")
    set(BATTLESHIPS_INSTALL_BINDIR \"${bindir}\")
    set(BATTLESHIPS_STRIP \"${CMAKE_STRIP}\")
    include(\"${CMAKE_SOURCE_DIR}/cmake/InstallCommand.cmake\")" ${ARGN})
endfunction()

set(BATTLESHIPS_GAMES_BINDIR games)
set(BATTLESHIPS_GAMES_FOLDER lib/games/battleships)
if(BATTLESHIPS_GAMES_LAYOUT)
  battleships_install(${BATTLESHIPS_GAMES_BINDIR} ${BATTLESHIPS_GAMES_FOLDER} COMPONENT Package)
else()
  battleships_install(${CMAKE_INSTALL_BINDIR} lib/battleships COMPONENT Programs)
  battleships_install(${BATTLESHIPS_GAMES_BINDIR} ${BATTLESHIPS_GAMES_FOLDER} COMPONENT Package EXCLUDE_FROM_ALL)
endif()

# Lintian's overrides belong to the Debian package alone, which is built for
# the release it is built on. The one tag overridden comes with Debian 13's
# lintian and AppStream 1.0; Debian 12's lintian takes an override of a tag
# it does not know for an error.
set(BATTLESHIPS_LINTIAN_OVERRIDES ON)
if(EXISTS /etc/os-release)
  file(STRINGS /etc/os-release os_id REGEX "^ID=")
  file(STRINGS /etc/os-release os_version REGEX "^VERSION_ID=")
  string(REGEX REPLACE "^VERSION_ID=\"?([0-9.]*).*" "\\1" os_version "${os_version}")
  if(os_id STREQUAL "ID=debian" AND os_version AND os_version VERSION_LESS 13)
    set(BATTLESHIPS_LINTIAN_OVERRIDES OFF)
  endif()
endif()
if(BATTLESHIPS_LINTIAN_OVERRIDES)
  install(FILES data/battleships.lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME battleships COMPONENT Package EXCLUDE_FROM_ALL)
endif()

set(CPACK_GENERATOR DEB)
# Only the games layout's rules.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};Package;/")
set(CPACK_PACKAGE_NAME battleships)
set(CPACK_PACKAGE_VENDOR "The Battleships authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "naval battle game against the computer")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Place your fleet on a grid of your chosen size, then take turns with the
computer shooting at each other's boards until one fleet is sunk. A small
dialog sets the board size, the number of ships of each type and the
computer's level, Easy or Hard. The game runs in an OpenGL window on the X11
desktop.")
set(CPACK_PACKAGE_CONTACT "Battleships maintainers <maintainers@users.noreply.c-seed-083964d2.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# dpkg-shlibdeps turns the libraries the programs link into the Depends line.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Staged through DESTDIR with the real prefix, so the command is written for
# /usr and not for cpack's staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# One time for everything in the package (see the file).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/CPackProject.cmake)
set(CPACK_BATTLESHIPS_SOURCE_DIR ${CMAKE_SOURCE_DIR})
include(CPack)
