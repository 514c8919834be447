# The test suite cross-compiled for Windows and run under Wine (included from
# tests/CMakeLists.txt when cross-compiling for Windows).
#
# - GoogleTest is built here from Debian's sources (the googletest package) with
#   the cross compiler, as a part of this build.
# - Every test program runs through the emulator cmake/wine-run.sh (the
#   toolchain files set CMAKE_CROSSCOMPILING_EMULATOR), in a Wine prefix of this
#   build folder, made before the first test program is built so that test
#   discovery finds it ready.
# - Every test of a test program requires the fixture ombrel_wine, which makes
#   the prefix afresh for the run and keeps one wineserver up until the last
#   test is done (tests/win32 adds it): a program then starts in milliseconds.
# - A test that cannot start Wine exits with 77: skipped, with its reason on
#   standard error - unless CI is set, where it fails.

set(OMBREL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
  "GoogleTest's sources, built with the cross compiler (Debian: package googletest)")
if(NOT EXISTS ${OMBREL_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${OMBREL_GOOGLETEST_SOURCE}: install the package googletest")
endif()

# Win32 threads (GoogleTest's own choice on MinGW), nothing installed.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# SYSTEM: the warnings of our tests are ours, not those of GoogleTest's headers.
add_subdirectory(${OMBREL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(target gtest gtest_main gmock gmock_main)
  # GoogleTest's own sources are not held to our warning flags.
  target_compile_options(${target} PRIVATE -w)
endforeach()

set(OMBREL_WINE_RUN ${PROJECT_SOURCE_DIR}/cmake/wine-run.sh)
set(OMBREL_WINE_SKIPPED 77)

# The prefix, before any test program is run to list its tests.
add_custom_target(ombrel_wine_prefix
  COMMAND ${OMBREL_WINE_RUN} --make-prefix ${CMAKE_BINARY_DIR}
  COMMENT "Wine prefix of this build"
  VERBATIM)

include(GoogleTest)

# Wine is looked for once, here: without it every test program becomes one test
# that says so and skips (fails under CI), instead of a build that fails when
# it lists the program's tests.
find_program(OMBREL_WINE wine)
if(NOT OMBREL_WINE)
  message(WARNING "wine is not installed: the Windows tests will skip (make windows-test-deps installs it)")
endif()

# gtest_discover_tests as GoogleTest defines it, with the Windows test programs
# tied to Wine: the prefix is made first, the tests found require the fixture
# ombrel_wine (and the fixtures named after FIXTURES), and exit 77 means skipped.
function(gtest_discover_tests target)
  # GoogleTest's own keywords are named too, so that FIXTURES ends where they begin.
  cmake_parse_arguments(PARSE_ARGV 1 arg "NO_PRETTY_TYPES;NO_PRETTY_VALUES"
    "TEST_LIST;DISCOVERY_TIMEOUT;WORKING_DIRECTORY;TEST_PREFIX;TEST_SUFFIX;TEST_FILTER;XML_OUTPUT_DIR;DISCOVERY_MODE"
    "FIXTURES;EXTRA_ARGS;PROPERTIES")
  set(list_name ${target}_TESTS)
  if(arg_TEST_LIST)
    set(list_name ${arg_TEST_LIST})
  endif()
  set(fixtures ombrel_wine ${arg_FIXTURES})
  set_property(GLOBAL APPEND PROPERTY OMBREL_WINDOWS_TEST_PROGRAMS ${target})
  if(NOT OMBREL_WINE)
    _add_test(NAME ${target}_under_wine COMMAND ${OMBREL_WINE_RUN} $<TARGET_FILE:${target}>)
    set_tests_properties(${target}_under_wine PROPERTIES SKIP_RETURN_CODE ${OMBREL_WINE_SKIPPED})
    return()
  endif()
  # Everything but FIXTURES goes to GoogleTest's own function.
  set(passed ${ARGN})
  if(arg_FIXTURES)
    list(FIND passed FIXTURES at)
    list(LENGTH arg_FIXTURES count)
    foreach(i RANGE ${count})
      list(REMOVE_AT passed ${at})
    endforeach()
  endif()
  set(extra)
  if(NOT arg_DISCOVERY_TIMEOUT)
    # A cold Wine takes about a second to list the tests; a busy machine more.
    set(extra DISCOVERY_TIMEOUT 60)
  endif()
  _gtest_discover_tests(${target} ${passed} ${extra})
  add_dependencies(${target} ombrel_wine_prefix)

  # Read by CTest after the tests found are known (their names in ${list_name}).
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_under_wine.cmake)
  file(WRITE ${script}
    "if(DEFINED ${list_name})\n"
    "  set_tests_properties(\${${list_name}} PROPERTIES\n"
    "    FIXTURES_REQUIRED \"${fixtures}\" SKIP_RETURN_CODE ${OMBREL_WINE_SKIPPED})\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

# add_test likewise, for a test that runs one of our Windows programs.
function(add_test)
  _add_test(${ARGV})
  if(ARGC GREATER 3 AND ARGV0 STREQUAL "NAME" AND ARGV2 STREQUAL "COMMAND" AND TARGET "${ARGV3}")
    get_target_property(type ${ARGV3} TYPE)
    if(type STREQUAL "EXECUTABLE")
      set_tests_properties(${ARGV1} PROPERTIES
        FIXTURES_REQUIRED ombrel_wine SKIP_RETURN_CODE ${OMBREL_WINE_SKIPPED})
    endif()
  endif()
endfunction()
