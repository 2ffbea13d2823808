# Program modules: parts of the program built as shared objects that the program loads with
# dlopen the first time it needs them (platform/base/program_modules.h). They sit beside the
# program in the build folder; the program finds them through its run path.
set(QUORLIN_MODULE_MAP ${CMAKE_CURRENT_LIST_DIR}/program_module.map)
set(QUORLIN_MODULE_IMPORTS_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/module_imports.sh)
add_custom_target(quorlin_program_modules)

# The module NAME.so from the sources; it exports nothing but its entry functions (Quorlin…).
# A SELF_CONTAINED module takes nothing from the program: a symbol its libraries do not define
# fails the link rather than its first call (sanitizer builds leave their runtime unresolved
# in shared objects, so there the check is skipped).
function(quorlin_program_module target)
  cmake_parse_arguments(ARG "SELF_CONTAINED" "NAME" "SOURCES;LIBS" ${ARGN})
  add_library(${target} MODULE ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
  quorlin_warnings(${target})
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${ARG_NAME}
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  target_link_options(${target} PRIVATE LINKER:--version-script=${QUORLIN_MODULE_MAP})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${QUORLIN_MODULE_MAP})
  if(ARG_SELF_CONTAINED AND NOT QUORLIN_SANITIZE AND NOT QUORLIN_FUZZ)
    target_link_options(${target} PRIVATE LINKER:-z,defs)
  endif()
  add_dependencies(quorlin_program_modules ${target})
endfunction()

# Lets `program` give the module what the module takes from it: the program exports exactly
# those undefined symbols of the module that the static libraries after FROM define, and keeps
# them even where it does not call them itself.
function(quorlin_module_imports program module)
  cmake_parse_arguments(ARG "" "" "FROM" ${ARGN})
  set(list ${CMAKE_CURRENT_BINARY_DIR}/${module}_imports.list)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${module}_imports.ld)
  set(archives)
  foreach(lib ${ARG_FROM})
    list(APPEND archives $<TARGET_FILE:${lib}>)
  endforeach()
  add_custom_command(OUTPUT ${list} ${script}
    COMMAND sh ${QUORLIN_MODULE_IMPORTS_SCRIPT} $<TARGET_FILE:${module}> ${list} ${script} ${archives}
    DEPENDS ${module} ${ARG_FROM} ${QUORLIN_MODULE_IMPORTS_SCRIPT}
    COMMENT "Listing what ${module} takes from ${program}")
  add_custom_target(${module}_imports DEPENDS ${list} ${script})
  add_dependencies(${program} ${module}_imports)
  target_link_options(${program} PRIVATE LINKER:--dynamic-list=${list} ${script})
  set_property(TARGET ${program} APPEND PROPERTY LINK_DEPENDS ${list} ${script})
endfunction()
