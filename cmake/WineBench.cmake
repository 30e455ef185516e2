# Windows tests run for real under Wine: x86-64 images on this machine's Wine (layer "wine"),
# ARM64 images on Debian's arm64 Wine in an emulated arm64 root (layer "wine-arm64", see
# cmake/wine-arm64/arm64-namespace).
set(WINE_TESTS ON)
set(WINE_BENCH_DIR "${CMAKE_BINARY_DIR}/wine-bench")
set(WINE_BENCH "${PROJECT_SOURCE_DIR}/cmake/wine/wine-bench")
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/cmake/wine/wine-run;${WINE_BENCH_DIR}")
endif()
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "ARM64")
  set(WINE_LAYER wine-arm64)
  set(machine_option --arm64)
else()
  set(WINE_LAYER wine)
  set(machine_option "")
endif()

# One Xvfb, one prefix and one wineserver for the whole ctest run.
add_test(NAME ${WINE_LAYER}.bench.start
         COMMAND "${WINE_BENCH}" start ${machine_option} "${WINE_BENCH_DIR}"
                 "$<TARGET_FILE:wine_desktop_keeper>")
add_test(NAME ${WINE_LAYER}.bench.stop COMMAND "${WINE_BENCH}" stop "${WINE_BENCH_DIR}")
set_tests_properties(${WINE_LAYER}.bench.start PROPERTIES FIXTURES_SETUP ${WINE_LAYER}
                                                          LABELS ${WINE_LAYER} TIMEOUT 300)
set_tests_properties(${WINE_LAYER}.bench.stop PROPERTIES FIXTURES_CLEANUP ${WINE_LAYER}
                                                         LABELS ${WINE_LAYER})

# GoogleTest for the Windows test programs, built from Debian's sources with this toolchain.
set(gtest_disable_pthreads OFF)
set(INSTALL_GTEST OFF)
add_subdirectory(/usr/src/googletest/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL
                 SYSTEM)
include(GoogleTest)

# add_wine_tests(<target> <prefix> <sources...> [ARM64_EXCLUDE <pattern> REASON <text>]): runs
# the program's tests under Wine inside the bench. x86-64: one ctest test per test of the
# program, named <prefix><test>. ARM64: one ctest test, <prefix>arm64, that runs all of them in
# one process, since every start of an emulated program costs seconds; ARM64_EXCLUDE names the
# tests (a GoogleTest filter) that arm64 Wine cannot run, for the REASON given, and a test
# <prefix>arm64.excluded, which ctest reports as skipped, prints both. Wine tests share the
# prefix (registry, windows, sound sink), so they run one at a time; host tests still run beside
# them.
function(add_wine_tests target prefix)
  cmake_parse_arguments(arg "" "ARM64_EXCLUDE;REASON" "" ${ARGN})
  target_link_libraries(${target} PRIVATE gtest gtest_main)
  if(WINE_LAYER STREQUAL "wine-arm64")
    set(added ${prefix}arm64)
    set(filter "")
    if(arg_ARM64_EXCLUDE)
      if(NOT arg_REASON)
        message(FATAL_ERROR "add_wine_tests(${target}): ARM64_EXCLUDE needs a REASON")
      endif()
      set(filter "--gtest_filter=-${arg_ARM64_EXCLUDE}")
      add_test(NAME ${added}.excluded
               COMMAND sh -c "echo \"not run under arm64 Wine: $0 ($1)\"; exit 77"
                       "${arg_ARM64_EXCLUDE}" "${arg_REASON}")
      set_tests_properties(${added}.excluded PROPERTIES SKIP_RETURN_CODE 77 LABELS ${WINE_LAYER})
    endif()
    add_test(NAME ${added} COMMAND ${target} ${filter})
    set(limit 900)
  else()
    gtest_add_tests(TARGET ${target} SOURCES ${arg_UNPARSED_ARGUMENTS} TEST_PREFIX ${prefix}
                    TEST_LIST added)
    set(limit 120)
  endif()
  set_tests_properties(${added} PROPERTIES FIXTURES_REQUIRED ${WINE_LAYER}
                                           RESOURCE_LOCK ${WINE_LAYER}-prefix
                                           LABELS ${WINE_LAYER} TIMEOUT ${limit})
endfunction()
