# One whole level-plot redraw, copy included, for 1 million and 10 million levels.
add_executable(plot_benchmark ${CMAKE_CURRENT_LIST_DIR}/PlotBenchmark.cpp)
target_link_libraries(plot_benchmark PRIVATE gfx benchmark::benchmark korvane_warnings)
set_target_properties(plot_benchmark PROPERTIES AUTOMOC OFF)
