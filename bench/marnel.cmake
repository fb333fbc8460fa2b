if(TARGET marnel)
  kalmet_add_bench(marnel_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/marnel_bench.cpp
    LIBS marnel marnel_codec)
endif()
