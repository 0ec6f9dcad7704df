# Chimelab's start-up bench runs the program's own start.
target_link_libraries(startup_bench PRIVATE chimelab_core)
# So does Triplay's, in the output folder with the generated data set.
target_link_libraries(triplay_startup_bench PRIVATE triplay_core)
add_dependencies(triplay_startup_bench kw27_data)
