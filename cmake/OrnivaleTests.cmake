# GoogleTest, and how test programs become CTest tests: natively each test
# case is its own CTest test; a Windows build runs each test program under
# Wine in a private prefix that a fixture prepares first.

if(CMAKE_CROSSCOMPILING)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# No test writes to the history of the user who runs it: those that keep a
# history name their own file.
set(ORNIVALE_TEST_ENV "ORNIVALE_HISTORY=off")

set(ORNIVALE_WINE_ROOT ${CMAKE_BINARY_DIR}/wine)
set(ORNIVALE_WINE_ENV
  "WINEDEBUG=-all"
  "WINEDLLOVERRIDES=mscoree,mshtml="
  "LANG=C.UTF-8"
  ${ORNIVALE_TEST_ENV}
)

# Prepares the Wine prefix for `dpi` once per test run, and keeps its
# wineserver running until the run's last test of that prefix has ended:
# each test program then starts in about half a second instead of booting
# the prefix's services anew.
function(ornivale_wine_prefix dpi)
  set(name wine_prefix_${dpi})
  # if(TEST) sees only the current folder's tests.
  get_property(made GLOBAL PROPERTY ${name}_made)
  if(made)
    return()
  endif()
  set_property(GLOBAL PROPERTY ${name}_made TRUE)
  set(prefix ${ORNIVALE_WINE_ROOT}/${dpi})
  add_test(NAME ${name}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-prefix
            ${prefix} ${CMAKE_CROSSCOMPILING_EMULATOR} ${dpi} --keep-server)
  add_test(NAME ${name}_done
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-prefix
            ${prefix} ${CMAKE_CROSSCOMPILING_EMULATOR} ${dpi} --end-server)
  set_tests_properties(${name} PROPERTIES FIXTURES_SETUP ${name})
  set_tests_properties(${name}_done PROPERTIES FIXTURES_CLEANUP ${name})
endfunction()

# ornivale_add_test(<target> [DISPLAY] [RELAY_LOG] [DPI <dpi>]
#                   [NAME <ctest name>] [ARGS ...])
# DISPLAY: the test shows windows and types keys, so it runs alone on the
# display, never beside another such test.
# RELAY_LOG: Wine's relay log of the test program and of the programs it
# starts (of the functions the prefix's RelayInclude names) goes to the file
# that ORNIVALE_RELAY_LOG names, for the test to read.
function(ornivale_add_test target)
  cmake_parse_arguments(T "DISPLAY;RELAY_LOG" "DPI;NAME" "ARGS" ${ARGN})
  if(NOT T_DPI)
    set(T_DPI 96)
  endif()
  if(NOT T_NAME)
    set(T_NAME ${target})
  endif()
  if(CMAKE_CROSSCOMPILING)
    ornivale_wine_prefix(${T_DPI})
    set(env "WINEPREFIX=${ORNIVALE_WINE_ROOT}/${T_DPI}" ${ORNIVALE_WINE_ENV})
    if(T_RELAY_LOG)
      # Wine writes it to standard error, that of a program that starts
      # another included: a test's own output goes to standard output.
      set(log ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}.relay.log)
      add_test(NAME ${T_NAME}
        COMMAND sh -c "exec \"$@\" 2>\"${log}\"" sh
                ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}> ${T_ARGS})
      list(FILTER env EXCLUDE REGEX "^WINEDEBUG=")
      list(APPEND env "WINEDEBUG=-all,+relay" "ORNIVALE_RELAY_LOG=${log}")
    else()
      add_test(NAME ${T_NAME} COMMAND ${target} ${T_ARGS})
    endif()
    set_tests_properties(${T_NAME} PROPERTIES
      ENVIRONMENT "${env}"
      FIXTURES_REQUIRED wine_prefix_${T_DPI}
      TIMEOUT 900)
    if(T_DISPLAY)
      set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK display)
    endif()
  else()
    gtest_discover_tests(${target} EXTRA_ARGS ${T_ARGS}
      PROPERTIES ENVIRONMENT "${ORNIVALE_TEST_ENV}")
  endif()
endfunction()
