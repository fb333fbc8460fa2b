# kalmet_add_gtest(NAME SOURCES... LIBS...): a GoogleTest executable registered with CTest.
# Tests run with the program folder as working directory so that dlopen of the
# shared libraries and Dictionary/ lookups behave as in the installed program.
function(kalmet_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT KALMET_BUILD_TESTS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    KALMET_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KALMET_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "KALMET_PROGRAM_DIR=${CMAKE_BINARY_DIR}/bin")
endfunction()

# kalmet_add_fuzzer(NAME SOURCES... LIBS...): a libFuzzer target when KALMET_FUZZ is on;
# otherwise a replay program that runs the same entry point over the checked-in corpus,
# registered with CTest so that every corpus input stays clean in ordinary builds.
function(kalmet_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(KALMET_FUZZ)
    add_executable(${name} ${F_SOURCES})
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  elseif(KALMET_BUILD_TESTS)
    add_executable(${name}_replay ${F_SOURCES} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
    set_target_properties(${name}_replay PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    add_test(NAME fuzz_replay.${name}
             COMMAND ${name}_replay ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
  endif()
endfunction()
