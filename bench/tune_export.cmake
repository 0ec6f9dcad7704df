# The exported tune: the designer's line rules, the rendering and the generated data set.
target_link_libraries(tune_export_bench PRIVATE chimelab_core kw27_tuneexport)
target_compile_definitions(tune_export_bench PRIVATE KW27_DATA_DIR="${KW27_DATA_DIR}")
add_dependencies(tune_export_bench kw27_data)
