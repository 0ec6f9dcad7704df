# The sound unit's benchmark (made from ddsd_bench.cpp by this folder's CMakeLists.txt) needs
# the unit itself, and the generated data set when the build has made it.
target_link_libraries(ddsd_bench PRIVATE triplay_core)
target_compile_definitions(ddsd_bench PRIVATE KW27_DATA_DIR="${KW27_DATA_DIR}")
if(TARGET kw27_data)
  add_dependencies(ddsd_bench kw27_data)
endif()
target_link_libraries(triplay_edges_bench PRIVATE triplay_core)
