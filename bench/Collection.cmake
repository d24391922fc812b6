# The generated collection that bench/run-collection-benchmark.sh converts.
add_executable(collection_tree ${CMAKE_CURRENT_LIST_DIR}/CollectionTree.cpp)
target_link_libraries(collection_tree PRIVATE midi_builder korvane_warnings)
set_target_properties(collection_tree PROPERTIES AUTOMOC OFF)
