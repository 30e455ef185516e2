# Checks on built Windows images: machine type, the exact export list, the exact set of
# imported DLLs (system DLLs only; the compiler runtime is linked in), the version resource, no
# time stamp and no build path; for the Zig images also that they name their PDB by its GUID,
# age and bare name, read back with LLVM's PDB reader.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(PE_CHECK "${PROJECT_SOURCE_DIR}/testkit/pe_check.py")

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "ARM64")
  set(PE_MACHINE arm64)
  find_program(LLVM_PDBUTIL NAMES llvm-pdbutil-14 llvm-pdbutil REQUIRED)
else()
  set(PE_MACHINE x64)
endif()

# add_binary_check(TARGET <t> EXPORTS <names...> IMPORTS <dlls...>)
function(add_binary_check)
  cmake_parse_arguments(arg "" "TARGET" "EXPORTS;IMPORTS" ${ARGN})
  set(pdb "")
  if(PE_MACHINE STREQUAL "arm64")
    set(pdb --pdbutil "${LLVM_PDBUTIL}"
            --pdb "$<TARGET_FILE_DIR:${arg_TARGET}>/$<TARGET_FILE_BASE_NAME:${arg_TARGET}>.pdb")
  endif()
  add_test(NAME ${arg_TARGET}.binary.${PE_MACHINE}
           COMMAND "${Python3_EXECUTABLE}" -B "${PE_CHECK}" "$<TARGET_FILE:${arg_TARGET}>"
                   --machine ${PE_MACHINE} --exports ${arg_EXPORTS} --imports ${arg_IMPORTS}
                   --version ${PROJECT_VERSION} --file-name "$<TARGET_FILE_NAME:${arg_TARGET}>"
                   --reproducible "${PROJECT_SOURCE_DIR}" ${pdb})
  set_tests_properties(${arg_TARGET}.binary.${PE_MACHINE} PROPERTIES LABELS binary)
endfunction()
