# The version resource (VERSIONINFO) of every Windows image: FileVersion and ProductVersion are
# the project's version (the VERSION file), with a description and the image's file name.
# Compiled by LLVM's windres for the target's machine, so the MinGW and the Zig builds get the
# same resource (Zig has no resource compiler of its own).
find_program(LLVM_WINDRES NAMES llvm-windres-14 llvm-windres REQUIRED)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "ARM64")
  set(windres_target aarch64-w64-mingw32)
else()
  set(windres_target x86_64-w64-mingw32)
endif()

# add_version_resource(<target> <description>)
function(add_version_resource target description)
  get_target_property(type ${target} TYPE)
  get_target_property(prefix ${target} PREFIX)
  if(type STREQUAL "EXECUTABLE")
    set(file_type 0x1)
    set(file_name "${target}.exe")
  else()
    set(file_type 0x2)
    set(file_name "${target}.dll")
  endif()
  set(internal_name ${target})
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}.version.rc")
  set(object "${CMAKE_CURRENT_BINARY_DIR}/${target}.version.res.obj")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/version.rc.in" "${rc}" @ONLY)
  add_custom_command(OUTPUT "${object}"
                     COMMAND "${LLVM_WINDRES}" --target=${windres_target} -O coff -i "${rc}"
                             -o "${object}"
                     DEPENDS "${rc}" VERBATIM)
  set_source_files_properties("${object}" PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  target_sources(${target} PRIVATE "${object}")
endfunction()
