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
# GBK. Clang has no GBK execution character set; a clang build (the fuzzing build) keeps the
# literals in UTF-8, which changes only the bytes of message texts.
function(quorlin_gbk_texts target)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=GBK)
  endif()
endfunction()
