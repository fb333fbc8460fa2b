# The journal page on a large synthetic journal: fill time, scrolling and memory per row.
if(TARGET kalmet_shell)
  kalmet_add_bench(shell_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/shell_bench.cpp
                   LIBS kalmet_shell)
endif()
