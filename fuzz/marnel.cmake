# Marnel: open, listing and every record's context through the exported C functions.
if(TARGET marnel)
  kalmet_add_fuzzer(marnel_fuzz
    SOURCES ${PROJECT_SOURCE_DIR}/marnel/fuzz/marnel_fuzz.cpp
    LIBS marnel marnel_codec)
endif()
