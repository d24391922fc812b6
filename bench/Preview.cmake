# The preview's re-render gap through the window, the job and the strip, rendered in memory.
add_executable(preview_gap_benchmark ${CMAKE_CURRENT_LIST_DIR}/PreviewGapBenchmark.cpp)
target_link_libraries(preview_gap_benchmark PRIVATE ui_window midi_builder korvane_warnings)
