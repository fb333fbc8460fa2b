kalmet_add_bench(journal_rows_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/journal_rows_bench.cpp
  LIBS kalmet_engine)
