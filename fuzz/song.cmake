# Song-file decoding of Chimelab's composition page, fed arbitrary bytes from memory.
# Included from this folder's CMakeLists.txt.
add_executable(song_fuzz "${CMAKE_CURRENT_LIST_DIR}/song_fuzz.cpp")
target_link_libraries(song_fuzz PRIVATE chimelab_core)
target_link_options(song_fuzz PRIVATE -fsanitize=fuzzer)
set_target_properties(song_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/fuzz")
