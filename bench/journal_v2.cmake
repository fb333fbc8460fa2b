# The version-2 journal: one million records of a full image (255 blocks of 65535 bytes,
# the ring wrapped, the record counter wrapped) through the protocol-2 parser, the
# program folder's journal library, CorrectLabel, the decoder and FillValues.
kalmet_add_bench(journal_v2_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/journal_v2_bench.cpp
  LIBS kalmet_engine trelbo_codec)
target_compile_definitions(journal_v2_bench PRIVATE KALMET_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin/")
add_dependencies(journal_v2_bench trelbo kalmet_dictionary)
