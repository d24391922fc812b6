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

# Pictures of the window for anyone to look at: `cmake --build <build> --target screenshots`
# writes them to <build>/screenshots.
if(TARGET ui_window)
  add_executable(korvane_screenshots ${CMAKE_CURRENT_LIST_DIR}/ScreenshotTool.cpp)
  target_link_libraries(korvane_screenshots PRIVATE ui_window korvane_warnings)
  set(screenshot_depends korvane_screenshots)
  if(TARGET examples)
    list(APPEND screenshot_depends examples)
  endif()
  add_custom_target(screenshots
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:korvane_screenshots> ${CMAKE_BINARY_DIR}/screenshots
    DEPENDS ${screenshot_depends}
    COMMENT "Writing pictures of the main window")
endif()
