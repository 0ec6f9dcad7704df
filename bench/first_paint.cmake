# The first-paint bench starts the shipped programs with a report library preloaded, beside a
# reference program of its own.
if(TARGET first_paint_bench)
  add_library(kw27_first_paint MODULE first_paint_report.cpp)
  target_link_libraries(kw27_first_paint PRIVATE Qt6::Widgets ${CMAKE_DL_LIBS})
  add_executable(bare_window bare_window.cpp)
  target_link_libraries(bare_window PRIVATE Qt6::Widgets)
  add_executable(bare_window_sound bare_window.cpp)
  target_compile_definitions(bare_window_sound PRIVATE KW27_WITH_SOUND)
  target_link_libraries(bare_window_sound PRIVATE Qt6::Widgets PkgConfig::OPENAL)
  set_target_properties(kw27_first_paint bare_window bare_window_sound PROPERTIES
                        LIBRARY_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench/bin"
                        RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench/bin")
  add_dependencies(first_paint_bench kw27_first_paint bare_window bare_window_sound)
  foreach(program Chimelab Triplay)
    if(TARGET ${program})
      add_dependencies(first_paint_bench ${program})
    endif()
  endforeach()
endif()
