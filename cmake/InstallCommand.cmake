# Runs at install time: writes the battleships command for the prefix in use
# and installs it. Set by the install rules before this runs:
# BATTLESHIPS_COMMAND_TEMPLATE, BATTLESHIPS_COMMAND_STAGING,
# BATTLESHIPS_INSTALL_FOLDER, BATTLESHIPS_INSTALL_BINDIR, BATTLESHIPS_STRIP.

function(battleships_under_prefix out dir)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

battleships_under_prefix(folder "${BATTLESHIPS_INSTALL_FOLDER}")
battleships_under_prefix(bindir "${BATTLESHIPS_INSTALL_BINDIR}")

# One single-quoted shell word, so blanks and any other character survive.
string(REPLACE "'" "'\\''" quoted "${folder}")
set(BATTLESHIPS_FOLDER "'${quoted}'")

# A staging file per prefix and layout, so installs never share one.
string(MD5 key "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}|${folder}")
set(staged "${BATTLESHIPS_COMMAND_STAGING}/${key}/battleships")
configure_file("${BATTLESHIPS_COMMAND_TEMPLATE}" "${staged}" @ONLY)

file(INSTALL DESTINATION "${bindir}" TYPE PROGRAM FILES "${staged}")

# strip alone keeps .comment, the compilers' version strings, which only
# take room (Debian's packages drop it and .note too).
if(CMAKE_INSTALL_DO_STRIP AND BATTLESHIPS_STRIP)
  foreach(program game launcher)
    execute_process(
      COMMAND "${BATTLESHIPS_STRIP}" --remove-section=.comment --remove-section=.note
              "$ENV{DESTDIR}${folder}/${program}"
      RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "stripping ${folder}/${program} failed")
    endif()
  endforeach()
endif()
