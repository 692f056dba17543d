# Read by cpack when it packages. The package's files, folders and archives
# carry one time, SOURCE_DATE_EPOCH: the caller's, or else that of the last
# commit, or else (a copy without its history) the changelog's file time. So
# the same commit packs to the same bytes whenever it is built.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} OR "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  execute_process(
    COMMAND git -C "${CPACK_BATTLESHIPS_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE epoch
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    file(TIMESTAMP "${CPACK_BATTLESHIPS_SOURCE_DIR}/data/changelog" epoch "%s" UTC)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
