# Journal unpacking: Create + Open + full read of a full image against one linear pass.
kalmet_add_bench(trelbo_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/trelbo_bench.cpp
  LIBS trelbo trelbo_codec)
