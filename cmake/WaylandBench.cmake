# Tests of the Linux libraries on a Wayland session run on a private headless sway
# (cmake/wayland/sway-bench), KWin or GNOME Shell (cmake/wayland/desktop-bench), each one for the whole ctest
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

# The KWin and GNOME Shell benches (cmake/wayland/desktop-bench): captures over the session bus.
set(DESKTOP_BENCH "${PROJECT_SOURCE_DIR}/cmake/wayland/desktop-bench")
foreach(desktop IN ITEMS kwin gnome)
  set(start ${BUILD_TEST_PREFIX}wayland.bench.${desktop}.start)
  set(stop ${BUILD_TEST_PREFIX}wayland.bench.${desktop}.stop)
  add_test(NAME ${start} COMMAND "${DESKTOP_BENCH}" ${desktop} start "${CMAKE_BINARY_DIR}/${desktop}-bench")
  add_test(NAME ${stop} COMMAND "${DESKTOP_BENCH}" ${desktop} stop "${CMAKE_BINARY_DIR}/${desktop}-bench")
  set_tests_properties(${start} PROPERTIES FIXTURES_SETUP ${desktop}-${build_folder} LABELS linux
                                           TIMEOUT 60)
  set_tests_properties(${stop} PROPERTIES FIXTURES_CLEANUP ${desktop}-${build_folder} LABELS linux)
endforeach()

# add_desktop_test(<name> kwin|gnome <script> <arguments...>): a Python script run on that
# bench by the bench's interpreter (desktop-bench run), one at a time. The bench's folder is
# <build folder>/<desktop>-bench.
function(add_desktop_test name desktop)
  set(passed ${JVM_LAUNCHER})  # a sanitizer build's runtime and options, as NAME=VALUE words
  list(REMOVE_ITEM passed env)
  add_test(NAME ${BUILD_TEST_PREFIX}${name}
           COMMAND "${DESKTOP_BENCH}" ${desktop} run "${CMAKE_BINARY_DIR}/${desktop}-bench" ${passed}
                   ${ARGN})
  set_tests_properties(${BUILD_TEST_PREFIX}${name} PROPERTIES
                       FIXTURES_REQUIRED ${desktop}-${build_folder}
                       RESOURCE_LOCK ${desktop}-${build_folder} LABELS linux TIMEOUT 120)
endfunction()
