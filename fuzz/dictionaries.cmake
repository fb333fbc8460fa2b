# The mask formatter of the dictionaries.
kalmet_add_fuzzer(format_mask_fuzz
  SOURCES ${CMAKE_SOURCE_DIR}/viewer/dictionaries/fuzz/format_mask_fuzz.cpp
  LIBS kalmet_engine)
