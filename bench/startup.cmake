# Chimelab's start-up bench runs the program's own start.
if(TARGET startup_bench AND TARGET chimelab_core)
  target_link_libraries(startup_bench PRIVATE chimelab_core)
endif()
