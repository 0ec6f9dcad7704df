# The song file benchmark needs the song logic of the designer program.
target_link_libraries(song_bench PRIVATE chimelab_core)
# The tune benchmark plays through the designer program's window.
target_link_libraries(tune_bench PRIVATE chimelab_core)
