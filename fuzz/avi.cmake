add_executable(avi_fuzz avi_fuzz.cpp)
target_link_libraries(avi_fuzz PRIVATE kw27_platform)
target_link_options(avi_fuzz PRIVATE -fsanitize=fuzzer)
set_target_properties(avi_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/fuzz")
