# The GUI stand-ins: message box, file dialog, dialog units and data exchange (Qt Widgets).
add_library(platform_gui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/MessageBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogUnits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DataExchange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ddx.cpp)
target_include_directories(platform_gui PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(platform_gui PUBLIC Qt6::Widgets PRIVATE korvane_warnings)
