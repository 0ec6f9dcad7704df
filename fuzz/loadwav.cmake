# LoadWAV of the sound unit, fed WAV images from memory and played on the loopback mixer.
# Included from this folder's CMakeLists.txt.
add_executable(loadwav_fuzz "${CMAKE_CURRENT_LIST_DIR}/loadwav_fuzz.cpp")
target_link_libraries(loadwav_fuzz PRIVATE triplay_core)
target_link_options(loadwav_fuzz PRIVATE -fsanitize=fuzzer)
set_target_properties(loadwav_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/fuzz")
