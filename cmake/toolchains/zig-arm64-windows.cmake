# ARM64 Windows with the Zig toolchain (clang, lld and a bundled MinGW-w64 runtime).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ARM64)

set(zig_wrappers "${CMAKE_CURRENT_LIST_DIR}/../zig")
set(CMAKE_C_COMPILER "${zig_wrappers}/zig-cc")
set(CMAKE_CXX_COMPILER "${zig_wrappers}/zig-c++")
set(CMAKE_AR "${zig_wrappers}/zig-ar" CACHE FILEPATH "")
set(CMAKE_RANLIB "${zig_wrappers}/zig-ranlib" CACHE FILEPATH "")

# Zig links libc++, libunwind and the MinGW runtime statically into every image.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
