# A GoogleTest executable from every *_test.cpp in the calling folder, registered with CTest
# under an area label.
function(quorlin_test_folder target)
  cmake_parse_arguments(ARG "" "LABEL" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  quorlin_warnings(${target})
  # A test that makes a request loads the HTTP module as the program does.
  add_dependencies(${target} quorlin_program_modules)
  add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
  set_tests_properties(${target} PROPERTIES LABELS "${ARG_LABEL}" TIMEOUT 600
    ENVIRONMENT "QUORLIN_DISPLAY=headless;QUORLIN_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
endfunction()

# A Google Benchmark executable from the named sources, registered with the label "bench"
# (run by hand: ctest -L bench, or the executable itself).
function(quorlin_benchmark target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
  quorlin_warnings(${target})
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES LABELS "bench")
endfunction()

# A fuzz target (LLVMFuzzerTestOneInput). With QUORLIN_FUZZ it links libFuzzer; otherwise it
# links the replay driver, which feeds the seed files under fuzz/seeds/<target> and a bounded
# number of their mutations, and is registered as a test with the label "fuzz".
function(quorlin_fuzzer target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
  quorlin_warnings(${target})
  if(QUORLIN_FUZZ)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    add_test(NAME ${target} COMMAND ${target} ${PROJECT_SOURCE_DIR}/fuzz/seeds/${target})
    set_tests_properties(${target} PROPERTIES LABELS "fuzz" TIMEOUT 600
      ENVIRONMENT "QUORLIN_DISPLAY=headless")
  endif()
endfunction()
