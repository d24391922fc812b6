# The About box and the program's pictures and icon (Qt Widgets).
add_library(ui_about STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Pictures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AboutPicture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AboutDialog.cpp)
target_link_libraries(ui_about PUBLIC Qt6::Widgets platform platform_gui job PRIVATE korvane_warnings)
