# Start-up load of the shipped dictionaries (must stay well under 100 ms) and the formatter.
kalmet_add_bench(dictionaries_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/dictionaries_bench.cpp LIBS kalmet_engine)
target_compile_definitions(dictionaries_bench PRIVATE KALMET_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin")
if(TARGET kalmet_dictionary)
  add_dependencies(dictionaries_bench kalmet_dictionary)
endif()
