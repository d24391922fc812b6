# The main window (template 102) over the job, the level display, the player and the About box.
if(TARGET ui_levelview AND TARGET ui_player AND TARGET ui_about)
  add_library(ui_window STATIC
    ${CMAKE_CURRENT_LIST_DIR}/MainDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/MainDialogTemplate.h
    ${CMAKE_CURRENT_LIST_DIR}/ProgramFolderGlobal.cpp)
  target_include_directories(ui_window PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(ui_window PUBLIC ui_levelview ui_player ui_about platform_gui job
                        Qt6::Widgets PRIVATE korvane_warnings)
endif()
