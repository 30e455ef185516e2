# Every C and C++ source stays clang-format clean: a test fails on any file that formatting
# would change.
find_program(CLANG_FORMAT clang-format REQUIRED)
file(GLOB_RECURSE formatted_sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/*.cpp"
     "${PROJECT_SOURCE_DIR}/*.h" "${PROJECT_SOURCE_DIR}/*.c")
list(FILTER formatted_sources EXCLUDE REGEX "^${PROJECT_SOURCE_DIR}/(build|dist|\\.tools|\\.git)/")
add_test(NAME format COMMAND "${CLANG_FORMAT}" --dry-run -Werror ${formatted_sources})
set_tests_properties(format PROPERTIES LABELS unit)
