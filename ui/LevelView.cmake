# Control 1003: shows the level plot drawn by gfx, copied 1:1.
add_library(ui_levelview STATIC ${CMAKE_CURRENT_LIST_DIR}/LevelView.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/LevelView.h)
target_link_libraries(ui_levelview PUBLIC Qt6::Widgets gfx PRIVATE korvane_warnings)
