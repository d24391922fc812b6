# The engine's save pass over a generated 32 MB file, memory to memory.
add_executable(engine_benchmark ${CMAKE_CURRENT_LIST_DIR}/EngineBenchmark.cpp)
target_link_libraries(engine_benchmark PRIVATE midi midi_builder benchmark::benchmark korvane_warnings)
set_target_properties(engine_benchmark PROPERTIES AUTOMOC OFF)
