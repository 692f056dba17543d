# The icon, drawn once as SVG: rendered at build time to the PNGs that are
# installed, and to the sizes that the game's window carries in its program.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(BATTLESHIPS_ICON_SVG ${CMAKE_SOURCE_DIR}/data/battleships.svg)
# Installed in the icon theme.
set(BATTLESHIPS_ICON_SIZES 48 256)
# Built into the game for its window, smallest first.
set(BATTLESHIPS_WINDOW_ICON_SIZES 16 32 48 64)

set(rendered ${BATTLESHIPS_ICON_SIZES} ${BATTLESHIPS_WINDOW_ICON_SIZES})
list(REMOVE_DUPLICATES rendered)
set(BATTLESHIPS_ICON_PNGS)
foreach(size IN LISTS rendered)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/battleships.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${BATTLESHIPS_ICON_SVG}
    DEPENDS ${BATTLESHIPS_ICON_SVG}
    COMMENT "Rendering the ${size}x${size} icon"
    VERBATIM)
  list(APPEND BATTLESHIPS_ICON_PNGS ${png})
endforeach()
add_custom_target(icons ALL DEPENDS ${BATTLESHIPS_ICON_PNGS})

# The window's sizes as the pixel values X takes, in a source file of the
# build folder, so the game shows its icon wherever it is started from.
pkg_check_modules(PIXBUF REQUIRED IMPORTED_TARGET gdk-pixbuf-2.0)
add_executable(make_window_icon src/make_window_icon.cpp)
target_link_libraries(make_window_icon PRIVATE PkgConfig::PIXBUF)

set(window_pngs)
foreach(size IN LISTS BATTLESHIPS_WINDOW_ICON_SIZES)
  list(APPEND window_pngs ${CMAKE_BINARY_DIR}/icons/${size}x${size}/battleships.png)
endforeach()
set(BATTLESHIPS_WINDOW_ICON_SOURCE ${CMAKE_BINARY_DIR}/generated/window_icon.cpp)
add_custom_command(
  OUTPUT ${BATTLESHIPS_WINDOW_ICON_SOURCE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND make_window_icon ${BATTLESHIPS_WINDOW_ICON_SOURCE} ${window_pngs}
  DEPENDS make_window_icon ${window_pngs}
  COMMENT "Converting the window's icons"
  VERBATIM)
