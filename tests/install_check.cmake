# Installs the build into a scratch prefix and runs what arrived there: both programs must be
# in the prefix's bin directory and run from it, and both manual pages in its man1 directory.
# Called by ctest with BUILD_DIR, PREFIX, BINDIR and MANDIR.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

foreach(page orvelt.1 orvelt-filter.1)
  if(NOT EXISTS "${PREFIX}/${MANDIR}/man1/${page}")
    message(FATAL_ERROR "${page} is not installed under ${MANDIR}/man1")
  endif()
endforeach()

execute_process(COMMAND "${PREFIX}/${BINDIR}/orvelt-filter" --version
  RESULT_VARIABLE status OUTPUT_VARIABLE version)
if(NOT status EQUAL 0 OR NOT version STREQUAL "orvelt-filter 1.17\n")
  message(FATAL_ERROR "the installed orvelt-filter --version gave ${status}: ${version}")
endif()

execute_process(COMMAND "${PREFIX}/${BINDIR}/orvelt" -L RESULT_VARIABLE status OUTPUT_VARIABLE words)
if(NOT status EQUAL 0 OR NOT words MATCHES "GetDefaultPalette")
  message(FATAL_ERROR "the installed orvelt -L gave ${status}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
