# Chimelab's start-up bench runs the program's own start.
if(TARGET startup_bench AND TARGET chimelab_core)
  target_link_libraries(startup_bench PRIVATE chimelab_core)
endif()
# So does Triplay's, in the output folder with the generated data set.
if(TARGET triplay_startup_bench AND TARGET triplay_core)
  target_link_libraries(triplay_startup_bench PRIVATE triplay_core)
  if(TARGET kw27_data)
    add_dependencies(triplay_startup_bench kw27_data)
  endif()
endif()
