# Tests that load the Linux deliverables into a real JVM (Debian's OpenJDK 17) and run JUnit 5
# through its console launcher (Debian's junit5).
find_package(Java 17 REQUIRED COMPONENTS Development Runtime)
find_file(JUNIT_CONSOLE junit-platform-console-standalone.jar PATHS /usr/share/java NO_DEFAULT_PATH REQUIRED)

# add_java_classes(<name> OUTPUT <folder> SOURCES <files...> [CLASSPATH <entries...>]): compiles
# the sources into <folder>; the target <name> stands for them.
function(add_java_classes name)
  cmake_parse_arguments(arg "" "OUTPUT" "SOURCES;CLASSPATH" ${ARGN})
  list(JOIN arg_CLASSPATH ":" classpath)
  add_custom_command(OUTPUT "${arg_OUTPUT}/.compiled"
                     COMMAND "${CMAKE_COMMAND}" -E rm -rf "${arg_OUTPUT}"
                     COMMAND "${Java_JAVAC_EXECUTABLE}" -Xlint:all -Werror -d "${arg_OUTPUT}"
                             -cp "${classpath}:${JUNIT_CONSOLE}" ${arg_SOURCES}
                     COMMAND "${CMAKE_COMMAND}" -E touch "${arg_OUTPUT}/.compiled"
                     DEPENDS ${arg_SOURCES} VERBATIM)
  add_custom_target(${name} ALL DEPENDS "${arg_OUTPUT}/.compiled")
endfunction()

find_package(Python3 REQUIRED COMPONENTS Interpreter)

# A sanitized library inside a JVM: the AddressSanitizer runtime is loaded first, with the C++
# runtime right behind it (the runtime finds the real __cxa_throw only in a library loaded when
# it starts), and the JVM keeps its own signal handlers (it uses SIGSEGV for its own work).
# Leaks are not looked for: the JVM frees little of its own at exit.
set(JVM_LAUNCHER "")
if(PROJECT_SANITIZE STREQUAL "address")
  execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=libasan.so
                  OUTPUT_VARIABLE asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=libstdc++.so
                  OUTPUT_VARIABLE cxx_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(JVM_LAUNCHER env "LD_PRELOAD=${asan_runtime} ${cxx_runtime}"
      "ASAN_OPTIONS=detect_leaks=0:handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0:allow_user_segv_handler=1:use_sigaltstack=0")
endif()

# add_junit_test(<name> CLASSPATH <entries...> SELECT <class> [LIBRARY_PATH <folder>]
#                [ENVIRONMENT <VAR=value...>] [WRAPPER <command...>])
# The JVM runs with -Xcheck:jni, and a warning of its checks about one of our natives fails the
# test (testkit/jni_warnings.py). Without LIBRARY_PATH the JVM is given no library path at all.
function(add_junit_test name)
  cmake_parse_arguments(arg "" "SELECT;LIBRARY_PATH" "CLASSPATH;ENVIRONMENT;WRAPPER" ${ARGN})
  list(JOIN arg_CLASSPATH ":" classpath)
  set(name "${BUILD_TEST_PREFIX}${name}")
  set(library_path "")
  if(arg_LIBRARY_PATH)
    set(library_path "-Djava.library.path=${arg_LIBRARY_PATH}" "-Djna.library.path=${arg_LIBRARY_PATH}")
  endif()
  add_test(NAME ${name}
           COMMAND "${Python3_EXECUTABLE}" "${PROJECT_SOURCE_DIR}/testkit/jni_warnings.py"
                   ${arg_WRAPPER} ${JVM_LAUNCHER} "${Java_JAVA_EXECUTABLE}" -Xcheck:jni ${library_path}
                   -jar "${JUNIT_CONSOLE}" --disable-banner --details=tree
                   --class-path "${classpath}" --select-class "${arg_SELECT}")
  # The benches have no session bus. Without an address libdbus (which SDL, under FAudio, asks
  # for one) would autolaunch one by forking the JVM, and under ASan such a child can deadlock
  # on the allocator's lock that another JVM thread held at the fork, holding the test forever.
  # An address that names no bus fails at once instead.
  list(PREPEND arg_ENVIRONMENT "DBUS_SESSION_BUS_ADDRESS=unix:path=${CMAKE_BINARY_DIR}/no-session-bus")
  set_tests_properties(${name} PROPERTIES LABELS linux TIMEOUT 600 ENVIRONMENT "${arg_ENVIRONMENT}"
                                           SKIP_RETURN_CODE 77)
endfunction()
