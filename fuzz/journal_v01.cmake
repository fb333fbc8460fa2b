# The journal decoders of protocol versions 0 and 1 and the trace journal through their
# parsers, with the shipped dictionaries from the program folder.
kalmet_add_fuzzer(journal_v01_fuzz
  SOURCES ${CMAKE_SOURCE_DIR}/viewer/journal/fuzz/journal_v01_fuzz.cpp
  LIBS kalmet_engine)
foreach(target journal_v01_fuzz journal_v01_fuzz_replay)
  if(TARGET ${target})
    target_compile_definitions(${target} PRIVATE KALMET_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin/")
    if(TARGET kalmet_dictionary)
      add_dependencies(${target} kalmet_dictionary)
    endif()
  endif()
endforeach()
