# The launcher's toolkit, for the main build and the fuzz build alike: GTK 2
# where it exists, else GTK 3, which only the project's libglade layer reads
# the form for; BATTLESHIPS_TOOLKIT asks for one.
set(BATTLESHIPS_TOOLKIT "" CACHE STRING "The launcher's toolkit: gtk2 or gtk3 (empty: GTK 2 where it exists)")
set_property(CACHE BATTLESHIPS_TOOLKIT PROPERTY STRINGS "" gtk2 gtk3)

# Sets out to gtk2 or gtk3.
function(battleships_toolkit out)
  find_package(PkgConfig REQUIRED)
  set(toolkit "${BATTLESHIPS_TOOLKIT}")
  if(toolkit STREQUAL "")
    pkg_check_modules(GTK2_PROBE QUIET gtk+-2.0)
    if(GTK2_PROBE_FOUND)
      set(toolkit gtk2)
    else()
      set(toolkit gtk3)
    endif()
  elseif(NOT toolkit MATCHES "^gtk[23]$")
    message(FATAL_ERROR "BATTLESHIPS_TOOLKIT is \"${BATTLESHIPS_TOOLKIT}\": gtk2 or gtk3")
  endif()
  set(${out} ${toolkit} PARENT_SCOPE)
endfunction()
