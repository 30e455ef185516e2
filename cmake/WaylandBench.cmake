# Tests of the Linux libraries on a Wayland session run on a private headless sway
# (cmake/wayland/sway-bench) or KWin (cmake/wayland/kwin-bench), each one for the whole ctest
# run of a build folder.
get_filename_component(build_folder "${CMAKE_BINARY_DIR}" NAME)
set(WAYLAND_BENCH_DIR "${CMAKE_BINARY_DIR}/sway-bench")
set(WAYLAND_FIXTURE "sway-${build_folder}")
set(bench "${PROJECT_SOURCE_DIR}/cmake/wayland/sway-bench")
add_test(NAME ${BUILD_TEST_PREFIX}wayland.bench.sway.start COMMAND "${bench}" start "${WAYLAND_BENCH_DIR}")
add_test(NAME ${BUILD_TEST_PREFIX}wayland.bench.sway.stop COMMAND "${bench}" stop "${WAYLAND_BENCH_DIR}")
set_tests_properties(${BUILD_TEST_PREFIX}wayland.bench.sway.start
                     PROPERTIES FIXTURES_SETUP ${WAYLAND_FIXTURE} LABELS linux TIMEOUT 60)
set_tests_properties(${BUILD_TEST_PREFIX}wayland.bench.sway.stop
                     PROPERTIES FIXTURES_CLEANUP ${WAYLAND_FIXTURE} LABELS linux)

# add_wayland_test(<name> <command...>): a test on the sway bench (its folder is the command's
# business), one at a time, as the bench's outputs are changed by the tests.
function(add_wayland_test name)
  add_test(NAME ${BUILD_TEST_PREFIX}${name} COMMAND ${ARGN})
  set_tests_properties(${BUILD_TEST_PREFIX}${name} PROPERTIES
                       FIXTURES_REQUIRED ${WAYLAND_FIXTURE} RESOURCE_LOCK ${WAYLAND_FIXTURE}
                       LABELS linux TIMEOUT 120)
endfunction()

set(KWIN_BENCH "${PROJECT_SOURCE_DIR}/cmake/wayland/kwin-bench")
set(KWIN_BENCH_DIR "${CMAKE_BINARY_DIR}/kwin-bench")
set(KWIN_FIXTURE "kwin-${build_folder}")
add_test(NAME ${BUILD_TEST_PREFIX}wayland.bench.kwin.start COMMAND "${KWIN_BENCH}" start "${KWIN_BENCH_DIR}")
add_test(NAME ${BUILD_TEST_PREFIX}wayland.bench.kwin.stop COMMAND "${KWIN_BENCH}" stop "${KWIN_BENCH_DIR}")
set_tests_properties(${BUILD_TEST_PREFIX}wayland.bench.kwin.start
                     PROPERTIES FIXTURES_SETUP ${KWIN_FIXTURE} LABELS linux TIMEOUT 60)
set_tests_properties(${BUILD_TEST_PREFIX}wayland.bench.kwin.stop
                     PROPERTIES FIXTURES_CLEANUP ${KWIN_FIXTURE} LABELS linux)

# add_kwin_test(<name> <script> <arguments...>): a Python script run on the KWin bench by the
# bench's granted interpreter (kwin-bench run), one at a time.
function(add_kwin_test name)
  add_test(NAME ${BUILD_TEST_PREFIX}${name} COMMAND "${KWIN_BENCH}" run "${KWIN_BENCH_DIR}" ${ARGN})
  set_tests_properties(${BUILD_TEST_PREFIX}${name} PROPERTIES
                       FIXTURES_REQUIRED ${KWIN_FIXTURE} RESOURCE_LOCK ${KWIN_FIXTURE}
                       LABELS linux TIMEOUT 120)
endfunction()
