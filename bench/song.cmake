# The song file benchmark needs the song logic of the designer program.
target_link_libraries(song_bench PRIVATE chimelab_core)
