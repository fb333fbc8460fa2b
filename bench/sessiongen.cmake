# Opening large generated sessions (made by bench/run with kalmet-sessiongen) through the
# engine, each beside its floor: one pass over the journal image, a bare pugixml parse,
# a plain file read.
kalmet_add_bench(sessiongen_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/sessiongen_bench.cpp
  LIBS kalmet_engine trelbo_codec)
target_compile_definitions(sessiongen_bench PRIVATE
  KALMET_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin/")
