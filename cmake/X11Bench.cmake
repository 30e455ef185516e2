# Tests of the X11 deliverables run on a private Xvfb desktop with openbox (cmake/x11/x11-bench),
# one for the whole ctest run.
set(X11_BENCH_DIR "${CMAKE_BINARY_DIR}/x11-bench")
# Each build folder has its own bench, fixture and lock: two builds (plain and sanitized) share
# one ctest run, and a fixture of one folder must not stand in for the other's.
get_filename_component(build_folder "${CMAKE_BINARY_DIR}" NAME)
set(X11_FIXTURE "x11-${build_folder}")
set(X11_RUN "${PROJECT_SOURCE_DIR}/cmake/x11/x11-run" "${X11_BENCH_DIR}")

add_test(NAME ${BUILD_TEST_PREFIX}x11.bench.start COMMAND "${PROJECT_SOURCE_DIR}/cmake/x11/x11-bench" start "${X11_BENCH_DIR}")
add_test(NAME ${BUILD_TEST_PREFIX}x11.bench.stop COMMAND "${PROJECT_SOURCE_DIR}/cmake/x11/x11-bench" stop "${X11_BENCH_DIR}")
set_tests_properties(${BUILD_TEST_PREFIX}x11.bench.start PROPERTIES FIXTURES_SETUP ${X11_FIXTURE} LABELS linux TIMEOUT 60)
set_tests_properties(${BUILD_TEST_PREFIX}x11.bench.stop PROPERTIES FIXTURES_CLEANUP ${X11_FIXTURE} LABELS linux)

find_package(GTest REQUIRED)
include(GoogleTest)

# add_x11_window_manager_bench(<wm>): a bench of its own under the window manager <wm>, with
# the fixture X11_FIXTURE_<wm> and the folder X11_BENCH_DIR_<wm> for the tests that need it.
function(add_x11_window_manager_bench wm)
  set(dir "${CMAKE_BINARY_DIR}/x11-bench-${wm}")
  set(fixture "${X11_FIXTURE}-${wm}")
  set(bench "${PROJECT_SOURCE_DIR}/cmake/x11/x11-bench")
  add_test(NAME ${BUILD_TEST_PREFIX}x11.bench.${wm}.start COMMAND "${bench}" start "${dir}" ${wm})
  add_test(NAME ${BUILD_TEST_PREFIX}x11.bench.${wm}.stop COMMAND "${bench}" stop "${dir}")
  set_tests_properties(${BUILD_TEST_PREFIX}x11.bench.${wm}.start
                       PROPERTIES FIXTURES_SETUP ${fixture} LABELS linux TIMEOUT 60)
  set_tests_properties(${BUILD_TEST_PREFIX}x11.bench.${wm}.stop
                       PROPERTIES FIXTURES_CLEANUP ${fixture} LABELS linux)
  set(X11_FIXTURE_${wm} "${fixture}" PARENT_SCOPE)
  set(X11_BENCH_DIR_${wm} "${dir}" PARENT_SCOPE)
endfunction()

# add_x11_tests(<target> <prefix> <sources...>): one ctest test per test of the program, run on
# the bench (testkit_x11_main's main connects it to the bench's display). They share the desktop
# (windows, focus, resources), so they run one at a time.
function(add_x11_tests target prefix)
  target_link_libraries(${target} PRIVATE testkit_x11_main)
  gtest_add_tests(TARGET ${target} SOURCES ${ARGN} TEST_PREFIX ${BUILD_TEST_PREFIX}${prefix} TEST_LIST added)
  set_tests_properties(${added} PROPERTIES FIXTURES_REQUIRED ${X11_FIXTURE} RESOURCE_LOCK ${X11_FIXTURE}
                                           ENVIRONMENT "X11_BENCH_DIR=${X11_BENCH_DIR}"
                                           LABELS linux TIMEOUT 60)
endfunction()

# JNA, for the JVM tests of the Linux libraries.
find_file(JNA_JAR jna.jar PATHS /usr/share/java NO_DEFAULT_PATH REQUIRED)

# add_x11_junit_test(<name> SOURCE <test.java> SELECT <class> LIBRARY <target>
#                    [ENVIRONMENT <VAR=value...>]): compiles the test with JNA and the Java side
# of the desktop host, and runs it on the bench with <target>'s folder as the library path.
function(add_x11_junit_test name)
  cmake_parse_arguments(arg "" "SOURCE;SELECT;LIBRARY" "ENVIRONMENT" ${ARGN})
  set(classes "${CMAKE_CURRENT_BINARY_DIR}/${name}-classes")
  add_java_classes(${name}.classes OUTPUT "${classes}" CLASSPATH "${JNA_JAR}"
                   SOURCES "${arg_SOURCE}"
                           "${PROJECT_SOURCE_DIR}/testkit/java/org/halvex/testkit/DesktopHost.java")
  add_dependencies(${name}.classes x11_desktop_host)
  add_junit_test(${name} CLASSPATH "${classes}" "${JNA_JAR}" SELECT ${arg_SELECT}
                 LIBRARY_PATH "$<TARGET_FILE_DIR:${arg_LIBRARY}>"
                 ENVIRONMENT "DESKTOP_HOST=$<TARGET_FILE:x11_desktop_host>" ${arg_ENVIRONMENT}
                 WRAPPER ${X11_RUN})
  set_tests_properties(${BUILD_TEST_PREFIX}${name} PROPERTIES FIXTURES_REQUIRED ${X11_FIXTURE} RESOURCE_LOCK ${X11_FIXTURE})
endfunction()
