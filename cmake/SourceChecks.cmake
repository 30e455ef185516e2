# Checks on the source tree itself, in the unit layer.
find_program(CLANG_FORMAT clang-format REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

file(GLOB_RECURSE all_sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/*.cpp"
     "${PROJECT_SOURCE_DIR}/*.h" "${PROJECT_SOURCE_DIR}/*.c")
list(FILTER all_sources EXCLUDE REGEX "^${PROJECT_SOURCE_DIR}/(build|dist|\\.tools|\\.git)/")

# Every C and C++ source stays clang-format clean: the test fails on any file that formatting
# would change.
add_test(NAME format COMMAND "${CLANG_FORMAT}" --dry-run -Werror ${all_sources})

# The products' functions stay at 60 lines or fewer (tests, demos, benchmarks and their kits
# aside).
set(product_sources ${all_sources})
list(FILTER product_sources EXCLUDE REGEX "/(tests|demo|bench|testkit|hostkit)/")
add_test(NAME function-length COMMAND "${Python3_EXECUTABLE}"
                                      "${PROJECT_SOURCE_DIR}/testkit/function_length.py" --max 60
                                      ${product_sources})
set_tests_properties(format function-length PROPERTIES LABELS unit)
