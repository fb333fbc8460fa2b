# Decoding a full 1000-slot version-1 event journal with the shipped dictionaries.
kalmet_add_bench(journal_v01_bench
  SOURCES ${CMAKE_SOURCE_DIR}/viewer/journal/bench/journal_v01_bench.cpp
  LIBS kalmet_engine)
target_compile_definitions(journal_v01_bench PRIVATE KALMET_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin/")
if(TARGET kalmet_dictionary)
  add_dependencies(journal_v01_bench kalmet_dictionary)
endif()
