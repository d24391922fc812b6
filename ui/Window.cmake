# The main window over the job, the level display, the player and the About box.
add_library(ui_window STATIC
  ${CMAKE_CURRENT_LIST_DIR}/MainDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainDialog.h
  ${CMAKE_CURRENT_LIST_DIR}/MainDialogPass.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainDialogCollection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileCollection.h
  ${CMAKE_CURRENT_LIST_DIR}/SaveProgress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveProgress.h
  ${CMAKE_CURRENT_LIST_DIR}/MainDialogMenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainDialogTemplate.h
  ${CMAKE_CURRENT_LIST_DIR}/ControlId.h
  ${CMAKE_CURRENT_LIST_DIR}/DialogFit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogFit.h
  ${CMAKE_CURRENT_LIST_DIR}/InstructionLabel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InstructionLabel.h
  ${CMAKE_CURRENT_LIST_DIR}/LevelDescription.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LevelDescription.h
  ${CMAKE_CURRENT_LIST_DIR}/MidiFileTypes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiFileTypes.h
  ${CMAKE_CURRENT_LIST_DIR}/VolumeSlider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VolumeSlider.h
  ${CMAKE_CURRENT_LIST_DIR}/ProgramFolderGlobal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtTranslations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtTranslations.h
  ${CMAKE_CURRENT_LIST_DIR}/WindowAccessibility.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowAccessibility.h
  ${CMAKE_CURRENT_LIST_DIR}/WindowHeight.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowHeight.h)
target_link_libraries(ui_window PUBLIC ui_levelview ui_player ui_about platform_gui job
                      Qt6::Widgets PRIVATE korvane_warnings)
