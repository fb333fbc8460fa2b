kalmet_add_bench(xml_session_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/xml_session_bench.cpp
  LIBS kalmet_engine)
