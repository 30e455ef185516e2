# Tests of the Linux libraries on a Wayland session run on a private headless sway
# (cmake/wayland/sway-bench), one for the whole ctest run of a build folder.
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
