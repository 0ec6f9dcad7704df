# The simulator wait benchmark presses the simulation page's button of the designer program.
target_link_libraries(simulator_wait_bench PRIVATE chimelab_core)
