# The binary session readers: the value stream (with Chronel loaded from the program
# folder) and the ".Z5K" container with Quorvo's section reader.
kalmet_add_fuzzer(binary_stream_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/binary_stream_fuzz.cpp
  LIBS kalmet_engine chronel)
kalmet_add_fuzzer(z5k_container_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/z5k_container_fuzz.cpp
  LIBS kalmet_engine chronel quorvo_reader)
foreach(target binary_stream_fuzz binary_stream_fuzz_replay)
  if(TARGET ${target})
    target_compile_definitions(${target} PRIVATE KALMET_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin/")
    add_dependencies(${target} chronel)
  endif()
endforeach()
