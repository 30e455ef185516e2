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

# add_junit_test(<name> CLASSPATH <entries...> SELECT <class> LIBRARY_PATH <folder>
#                [ENVIRONMENT <VAR=value...>] [WRAPPER <command...>])
function(add_junit_test name)
  cmake_parse_arguments(arg "" "SELECT;LIBRARY_PATH" "CLASSPATH;ENVIRONMENT;WRAPPER" ${ARGN})
  list(JOIN arg_CLASSPATH ":" classpath)
  add_test(NAME ${name}
           COMMAND ${arg_WRAPPER} "${Java_JAVA_EXECUTABLE}" -Xcheck:jni "-Djava.library.path=${arg_LIBRARY_PATH}"
                   "-Djna.library.path=${arg_LIBRARY_PATH}"
                   -jar "${JUNIT_CONSOLE}" --disable-banner --details=tree
                   --class-path "${classpath}" --select-class "${arg_SELECT}")
  set_tests_properties(${name} PROPERTIES LABELS linux TIMEOUT 600 ENVIRONMENT "${arg_ENVIRONMENT}"
                                           SKIP_RETURN_CODE 77)
endfunction()
