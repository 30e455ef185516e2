# Windows tests run for real under Wine. x86-64 images run on this machine's Wine; ARM64 images
# only get the checks on the built binaries.
if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "AMD64")
  set(WINE_TESTS OFF)
  return()
endif()
set(WINE_TESTS ON)

set(WINE_BENCH_DIR "${CMAKE_BINARY_DIR}/wine-bench")
set(WINE_BENCH "${PROJECT_SOURCE_DIR}/cmake/wine/wine-bench")
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/cmake/wine/wine-run;${WINE_BENCH_DIR}")
endif()

# One Xvfb, one prefix and one wineserver for the whole ctest run.
add_test(NAME wine.bench.start COMMAND "${WINE_BENCH}" start "${WINE_BENCH_DIR}"
                                        "$<TARGET_FILE:wine_desktop_keeper>")
add_test(NAME wine.bench.stop COMMAND "${WINE_BENCH}" stop "${WINE_BENCH_DIR}")
set_tests_properties(wine.bench.start PROPERTIES FIXTURES_SETUP wine LABELS wine TIMEOUT 300)
set_tests_properties(wine.bench.stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine)

# GoogleTest for the Windows test programs, built from Debian's sources with this toolchain.
set(gtest_disable_pthreads OFF)
set(INSTALL_GTEST OFF)
add_subdirectory(/usr/src/googletest/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL
                 SYSTEM)
include(GoogleTest)

# add_wine_tests(<target> <prefix> <sources...>): one ctest test per test of the program, named
# <prefix><test>, each run under Wine inside the bench. Wine tests share the prefix (registry,
# windows, sound sink), so they run one at a time; host tests still run beside them.
function(add_wine_tests target prefix)
  target_link_libraries(${target} PRIVATE gtest gtest_main)
  gtest_add_tests(TARGET ${target} SOURCES ${ARGN} TEST_PREFIX ${prefix} TEST_LIST added)
  set_tests_properties(${added} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine-prefix
                                           LABELS wine TIMEOUT 120)
endfunction()
