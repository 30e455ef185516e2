# Settings every target of ours shares: warnings are errors, and host builds may run under the
# sanitizers: "address" (AddressSanitizer with UndefinedBehaviorSanitizer) or "thread".
set(PROJECT_SANITIZE "" CACHE STRING "Sanitizers of a host build: address, thread or empty")
option(PROJECT_FUZZ "Build only the fuzz targets (clang, libFuzzer, ASan + UBSan)" OFF)

add_library(project_options INTERFACE)
target_compile_options(project_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                                 -Wsign-conversion -Werror)
# No build path in what is built: source paths are recorded relative to the project's root.
target_compile_options(project_options INTERFACE "-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=")
if(WIN32)
  # Windows headers: no min/max macros, no rarely used APIs, Unicode entry points.
  target_compile_definitions(project_options INTERFACE NOMINMAX WIN32_LEAN_AND_MEAN UNICODE
                                                       _UNICODE _WIN32_WINNT=0x0A00)
endif()

if(PROJECT_FUZZ)
  set(fuzz_flags -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                 -fno-omit-frame-pointer)
  target_compile_options(project_options INTERFACE ${fuzz_flags})
  target_link_options(project_options INTERFACE -fsanitize=address,undefined)
elseif(PROJECT_SANITIZE STREQUAL "address")
  set(sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all
                     -fno-omit-frame-pointer)
  target_compile_options(project_options INTERFACE ${sanitize_flags})
  target_link_options(project_options INTERFACE ${sanitize_flags})
elseif(PROJECT_SANITIZE STREQUAL "thread")
  target_compile_options(project_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(project_options INTERFACE -fsanitize=thread)
elseif(PROJECT_SANITIZE)
  message(FATAL_ERROR "PROJECT_SANITIZE is address, thread or empty, not ${PROJECT_SANITIZE}")
endif()

# Builds that repeat another build's tests under other sanitizers name them apart: one ctest run
# holds every build, and a test name must be unique in it. The ThreadSanitizer unit tests also
# carry a label of their own.
set(UNIT_TEST_LABEL unit)
set(BUILD_TEST_PREFIX "")
if(PROJECT_SANITIZE STREQUAL "thread")
  set(UNIT_TEST_LABEL tsan)
  set(BUILD_TEST_PREFIX tsan.)
elseif(PROJECT_SANITIZE STREQUAL "address" AND PROJECT_LINUX_LIBRARIES)
  set(BUILD_TEST_PREFIX asan.)
endif()
