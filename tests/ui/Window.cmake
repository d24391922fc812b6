# The main window: start-up state, passes, languages, profile, About box, batch run.
if(TARGET ui_window AND TARGET korvane)
  add_executable(test_main_dialog ${CMAKE_CURRENT_LIST_DIR}/MainDialogTest.cpp)
  target_compile_definitions(test_main_dialog PRIVATE KORVANE_EXE="$<TARGET_FILE:korvane>")
  target_link_libraries(test_main_dialog PRIVATE ui_window Qt6::Test korvane_warnings)
  add_dependencies(test_main_dialog korvane)
  add_test(NAME ui.MainDialog COMMAND test_main_dialog)
  set_tests_properties(ui.MainDialog PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endif()
