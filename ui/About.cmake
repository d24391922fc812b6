# The About box and the program's pictures (Qt Widgets), the icon files and the desktop entry.
add_library(ui_about STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Pictures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AboutPicture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AboutDialog.cpp)
target_include_directories(ui_about PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ui_about PUBLIC Qt6::Widgets platform platform_gui job PRIVATE korvane_warnings)

# The icon is drawn by the same code as the window's icon and written as files for the desktop.
add_executable(korvane_icon_writer ${CMAKE_CURRENT_LIST_DIR}/IconWriter.cpp)
target_link_libraries(korvane_icon_writer PRIVATE ui_about korvane_warnings)
set(KORVANE_ICON_THEME_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
set(KORVANE_ICON_FILES)
foreach(size 16 32 48 128 256)
  list(APPEND KORVANE_ICON_FILES ${KORVANE_ICON_THEME_DIR}/${size}x${size}/apps/korvane.png)
endforeach()
add_custom_command(OUTPUT ${KORVANE_ICON_FILES}
  COMMAND korvane_icon_writer ${KORVANE_ICON_THEME_DIR}
  DEPENDS korvane_icon_writer
  COMMENT "Drawing the icon files")
add_custom_target(korvane_icons ALL DEPENDS ${KORVANE_ICON_FILES})

install(DIRECTORY ${KORVANE_ICON_THEME_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${PROJECT_SOURCE_DIR}/res/korvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
