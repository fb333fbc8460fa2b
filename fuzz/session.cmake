kalmet_add_fuzzer(xml_session_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/xml_session_fuzz.cpp
  LIBS kalmet_engine)
