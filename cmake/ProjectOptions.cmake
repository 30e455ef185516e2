# Settings every target of ours shares: warnings are errors, and on the host build the address
# and undefined-behaviour sanitizers are on.
option(PROJECT_SANITIZE "Build the host targets with ASan and UBSan" OFF)
option(PROJECT_FUZZ "Build only the fuzz targets (clang, libFuzzer, ASan + UBSan)" OFF)

add_library(project_options INTERFACE)
target_compile_options(project_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                                 -Wsign-conversion -Werror)
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
elseif(PROJECT_SANITIZE)
  set(sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all
                     -fno-omit-frame-pointer)
  target_compile_options(project_options INTERFACE ${sanitize_flags})
  target_link_options(project_options INTERFACE ${sanitize_flags})
endif()
