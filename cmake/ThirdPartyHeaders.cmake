# Header-only dependencies from the host: the JDK's JNI headers and {fmt}. For the Windows
# builds only the needed folders are exposed (never /usr/include as a whole).

find_path(JNI_HEADER_DIR jni.h
          PATHS /usr/lib/jvm/java-17-openjdk-amd64/include /usr/lib/jvm/default-java/include
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_library(jni_headers INTERFACE)
target_include_directories(jni_headers SYSTEM INTERFACE "${JNI_HEADER_DIR}")
if(WIN32)
  # Windows machine types for jni.h (LLP64); see the header.
  target_include_directories(jni_headers SYSTEM BEFORE
                             INTERFACE "${PROJECT_SOURCE_DIR}/chimebox/win32/jni")
else()
  target_include_directories(jni_headers SYSTEM INTERFACE "${JNI_HEADER_DIR}/linux")
endif()

find_path(FMT_PARENT_DIR fmt/format.h PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
          REQUIRED)
set(fmt_include "${CMAKE_BINARY_DIR}/header-only")
file(MAKE_DIRECTORY "${fmt_include}")
file(CREATE_LINK "${FMT_PARENT_DIR}/fmt" "${fmt_include}/fmt" SYMBOLIC)
add_library(fmt_header_only INTERFACE)
target_include_directories(fmt_header_only SYSTEM INTERFACE "${fmt_include}")
target_compile_definitions(fmt_header_only INTERFACE FMT_HEADER_ONLY)
