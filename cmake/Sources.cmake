# The sources of the libraries that more than one build compiles: the main
# build and the fuzz build take them from here.
set(battleships_root ${CMAKE_CURRENT_LIST_DIR}/..)

# The rules of the game: no drawing, no input, no toolkit.
set(BATTLESHIPS_RULES_SOURCES)
foreach(module coord ship field player human computer battleships params)
  list(APPEND BATTLESHIPS_RULES_SOURCES ${battleships_root}/src/${module}.cpp)
endforeach()

# The memory check of a board: /proc and the cgroups, apart from the rules.
set(BATTLESHIPS_MEMORY_SOURCES ${battleships_root}/src/board_memory.cpp)

# libglade's format read and written with libxml2 alone, and the layer that
# checks a form against GTK and builds its widgets.
set(BATTLESHIPS_FORM_SOURCES ${battleships_root}/src/glade_form.cpp ${battleships_root}/src/builder_xml.cpp)
set(BATTLESHIPS_LAYER_SOURCES ${battleships_root}/src/form_check.cpp ${battleships_root}/src/glade_layer.cpp)
