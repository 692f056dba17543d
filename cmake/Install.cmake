# Install rules, the desktop entry and its icons, and the Debian package.
include(GNUInstallDirs)

# game, launcher and launcher.xml share one folder: the launcher looks for
# the other two relative to its working folder.
set(BATTLESHIPS_INSTALL_FOLDER "lib/battleships" CACHE STRING
    "Folder of game, launcher and launcher.xml, relative to the install prefix")

# The PNG icons are rendered from the one drawn SVG.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(BATTLESHIPS_ICON_SVG ${CMAKE_SOURCE_DIR}/data/battleships.svg)
set(BATTLESHIPS_ICON_SIZES 48 256)
set(BATTLESHIPS_ICON_PNGS)
foreach(size IN LISTS BATTLESHIPS_ICON_SIZES)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/battleships.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${BATTLESHIPS_ICON_SVG}
    DEPENDS ${BATTLESHIPS_ICON_SVG}
    COMMENT "Rendering the ${size}x${size} icon"
    VERBATIM)
  list(APPEND BATTLESHIPS_ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(icons ALL DEPENDS ${BATTLESHIPS_ICON_PNGS})

install(TARGETS game launcher DESTINATION ${BATTLESHIPS_INSTALL_FOLDER})
install(FILES data/launcher.xml DESTINATION ${BATTLESHIPS_INSTALL_FOLDER})
install(FILES data/battleships.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${BATTLESHIPS_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The command names its folder by absolute path, so it is written at install
# time, when the prefix is known (cmake --install --prefix, or cpack's /usr).
install(CODE "
  set(BATTLESHIPS_COMMAND_TEMPLATE \"${CMAKE_SOURCE_DIR}/data/battleships.in\")
  set(BATTLESHIPS_COMMAND_STAGING \"${CMAKE_BINARY_DIR}/command\")
  set(BATTLESHIPS_INSTALL_FOLDER \"${BATTLESHIPS_INSTALL_FOLDER}\")
  set(BATTLESHIPS_INSTALL_BINDIR \"${CMAKE_INSTALL_BINDIR}\")")
install(SCRIPT cmake/InstallCommand.cmake)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME battleships)
set(CPACK_PACKAGE_VENDOR "Battleships maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Battleships against the computer for the X11 desktop")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}
Place your fleet on a grid of your chosen size, then take turns with the
computer shooting at each other's boards until one fleet is sunk. A small
dialog sets the board size, the number of ships of each type and the
computer's level, Easy or Hard.")
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
include(CPack)
