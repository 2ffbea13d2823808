# Warnings for the project's own targets.
function(quorlin_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 reports impossible overlaps inside std::string concatenation at -O3 (a known false
    # positive of its libstdc++); the warning says nothing about our code.
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(QUORLIN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A static library of the project from every .cpp file in the calling folder but those named
# after EXCLUDE.
function(quorlin_library target)
  cmake_parse_arguments(ARG "" "" "LIBS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  add_library(${target} STATIC ${sources})
  target_link_libraries(${target} PUBLIC ${ARG_LIBS})
  quorlin_warnings(${target})
endfunction()

# Adds each named subfolder that has a CMakeLists.txt, so a new area joins the build by
# giving its folder one.
function(quorlin_add_subdirectories)
  foreach(dir ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# The runtime's own texts are GBK byte strings: sources are UTF-8, string literals are stored as
# GBK. GCC converts them itself; for a compiler without a GBK execution character set (clang,
# the fuzzing build) each of the target's own sources is compiled from a copy whose literals
# tools/gbk_literals has rewritten as GBK escapes, so both builds hold the same bytes.
function(quorlin_gbk_texts target)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=GBK)
    return()
  endif()
  get_target_property(sources ${target} SOURCES)
  get_target_property(source_dir ${target} SOURCE_DIR)
  set(compiled)
  foreach(source IN LISTS sources)
    get_filename_component(path ${source} ABSOLUTE BASE_DIR ${source_dir})
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${path})
    string(FIND "${path}" "${CMAKE_BINARY_DIR}/" in_build)
    if(path MATCHES "\\.cpp$" AND in_build EQUAL -1 AND NOT relative MATCHES "^\\.\\.")
      set(rewritten ${CMAKE_CURRENT_BINARY_DIR}/gbk_texts_${target}/${relative})
      add_custom_command(OUTPUT ${rewritten}
        COMMAND quorlin_gbk_literals ${path} ${rewritten}
        DEPENDS quorlin_gbk_literals ${path}
        COMMENT "String literals of ${relative} as GBK")
      list(APPEND compiled ${rewritten})
    else()
      list(APPEND compiled ${source})
    endif()
  endforeach()
  set_property(TARGET ${target} PROPERTY SOURCES ${compiled})
endfunction()
