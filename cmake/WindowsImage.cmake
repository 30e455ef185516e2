# What every shipped Windows image gets besides its code.
#
# The version resource (VERSIONINFO): FileVersion and ProductVersion are the project's version
# (the VERSION file), with a description and the image's file name. Compiled by LLVM's windres
# for the target's machine, so the MinGW and the Zig builds get the same resource (Zig has no
# resource compiler of its own).
#
# Reproducibility: the MinGW link writes no time stamp (see the toolchain file). Zig's linker
# takes no such option, so every Zig link is followed by cmake/release/finish_zig_image.py, which
# sets the time stamps to 0 and makes the image's PDB and its reference to it independent of the
# build's random temporary names (the script says how).
find_program(LLVM_WINDRES NAMES llvm-windres-14 llvm-windres REQUIRED)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "ARM64")
  set(windres_target aarch64-w64-mingw32)
else()
  set(windres_target x86_64-w64-mingw32)
endif()

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "ARM64")
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  find_program(LLVM_STRIP NAMES llvm-strip-14 llvm-strip REQUIRED)
endif()

# windows_image(<target> <description>)
function(windows_image target description)
  add_version_resource(${target} "${description}")
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "ARM64")
    add_custom_command(TARGET ${target} POST_BUILD
                       COMMAND "${Python3_EXECUTABLE}" -B
                               "${PROJECT_SOURCE_DIR}/cmake/release/finish_zig_image.py"
                               --strip "${LLVM_STRIP}" "$<TARGET_FILE:${target}>"
                       VERBATIM)
  endif()
endfunction()

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
