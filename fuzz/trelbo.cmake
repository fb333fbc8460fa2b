# Journal unpacking: Create over arbitrary images and block splits, full reads and writes.
kalmet_add_fuzzer(trelbo_fuzz
  SOURCES ${CMAKE_SOURCE_DIR}/trelbo/fuzz/trelbo_fuzz.cpp
  LIBS trelbo_codec)
