# The window's event loop while Save converts a folder of small files, and pictures of the
# window holding several files.
add_executable(window_collection_benchmark ${CMAKE_CURRENT_LIST_DIR}/WindowCollectionBenchmark.cpp)
target_link_libraries(window_collection_benchmark PRIVATE app_window korvane_warnings)
