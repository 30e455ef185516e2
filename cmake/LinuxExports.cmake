# What a Linux library exports: exactly the names it documents. Hidden visibility keeps our own
# code in; a version script also keeps in what the C++ runtime's headers would publish (type
# information and static locals of std:: templates, with default visibility), and the linker's
# own markers. The plain build checks the result against the same list with nm (label binary).
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(NM_TOOL NAMES nm REQUIRED)

# linux_exports(<target> <names...>)
function(linux_exports target)
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}.exports.map")
  list(JOIN ARGN "; " names)
  file(CONFIGURE OUTPUT "${script}" CONTENT "{\n  global: ${names};\n  local: *;\n};\n")
  target_link_options(${target} PRIVATE "-Wl,--version-script=${script}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${script}")
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  if(NOT PROJECT_SANITIZE)
    add_test(NAME ${name}.binary.linux
             COMMAND "${Python3_EXECUTABLE}" -B "${PROJECT_SOURCE_DIR}/testkit/elf_exports.py"
                     --nm "${NM_TOOL}" "$<TARGET_FILE:${target}>" --exports ${ARGN})
    set_tests_properties(${name}.binary.linux PROPERTIES LABELS binary)
  endif()
endfunction()
