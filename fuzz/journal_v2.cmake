# The version-2 journal: arbitrary images cut into pieces named by a descriptor, run
# through the protocol-2 parser, the journal library's code (linked in: the shared library
# does not link in a sanitized clang tree) and the version-2 decoder with the shipped
# dictionaries.
kalmet_add_fuzzer(journal_v2_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/journal_v2_fuzz.cpp
  LIBS kalmet_engine trelbo_codec)
foreach(target journal_v2_fuzz journal_v2_fuzz_replay)
  if(TARGET ${target})
    target_compile_definitions(${target} PRIVATE KALMET_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin/")
    add_dependencies(${target} kalmet_dictionary)
  endif()
endforeach()
