# The sources stay clang-format clean: a test fails on any file that formatting would change.
find_program(CLANG_FORMAT clang-format REQUIRED)
file(GLOB_RECURSE formatted_sources CONFIGURE_DEPENDS
     "${PROJECT_SOURCE_DIR}/*/core/*.[ch]pp" "${PROJECT_SOURCE_DIR}/*/core/*.h"
     "${PROJECT_SOURCE_DIR}/*/win32/*.cpp" "${PROJECT_SOURCE_DIR}/*/win32/*.h"
     "${PROJECT_SOURCE_DIR}/*/linux/*.cpp" "${PROJECT_SOURCE_DIR}/*/linux/*.h"
     "${PROJECT_SOURCE_DIR}/*/tests/*.cpp" "${PROJECT_SOURCE_DIR}/*/tests/*.h"
     "${PROJECT_SOURCE_DIR}/testkit/*.cpp" "${PROJECT_SOURCE_DIR}/testkit/*.h")
list(FILTER formatted_sources EXCLUDE REGEX "/(build|\\.tools)/")
add_test(NAME format COMMAND "${CLANG_FORMAT}" --dry-run -Werror ${formatted_sources})
set_tests_properties(format PROPERTIES LABELS unit)
