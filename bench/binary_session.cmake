kalmet_add_bench(binary_session_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/binary_session_bench.cpp
  LIBS kalmet_engine)
# The stream reader loads libchrn.so from the program folder.
target_compile_definitions(binary_session_bench PRIVATE
  KALMET_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin/")
add_dependencies(binary_session_bench chronel)
