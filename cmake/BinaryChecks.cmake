# Checks on built Windows images: machine type, the exact export list, the exact set of
# imported DLLs (system DLLs only; the compiler runtime is linked in) and the version resource.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(PE_CHECK "${PROJECT_SOURCE_DIR}/testkit/pe_check.py")

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "ARM64")
  set(PE_MACHINE arm64)
  # Zig's linker writes the link time and a fresh debug GUID: not yet reproducible.
  set(reproducible "")
else()
  set(PE_MACHINE x64)
  set(reproducible --reproducible "${PROJECT_SOURCE_DIR}")
endif()

# add_binary_check(TARGET <t> EXPORTS <names...> IMPORTS <dlls...>)
function(add_binary_check)
  cmake_parse_arguments(arg "" "TARGET" "EXPORTS;IMPORTS" ${ARGN})
  add_test(NAME ${arg_TARGET}.binary.${PE_MACHINE}
           COMMAND "${Python3_EXECUTABLE}" "${PE_CHECK}" "$<TARGET_FILE:${arg_TARGET}>"
                   --machine ${PE_MACHINE} --exports ${arg_EXPORTS} --imports ${arg_IMPORTS}
                   --version ${PROJECT_VERSION} --file-name "$<TARGET_FILE_NAME:${arg_TARGET}>"
                   ${reproducible})
  set_tests_properties(${arg_TARGET}.binary.${PE_MACHINE} PROPERTIES LABELS binary)
endfunction()
