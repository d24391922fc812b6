# Control 1010: the preview strip over FluidSynth, and the offline render of the same path.
add_library(ui_player STATIC
  ${CMAKE_CURRENT_LIST_DIR}/PlayerStrip.cpp ${CMAKE_CURRENT_LIST_DIR}/PlayerStrip.h
  ${CMAKE_CURRENT_LIST_DIR}/ElidedLabel.cpp ${CMAKE_CURRENT_LIST_DIR}/ElidedLabel.h
  ${CMAKE_CURRENT_LIST_DIR}/FluidSession.cpp ${CMAKE_CURRENT_LIST_DIR}/FluidSession.h
  ${CMAKE_CURRENT_LIST_DIR}/FluidFilePlayer.cpp ${CMAKE_CURRENT_LIST_DIR}/FluidFilePlayer.h
  ${CMAKE_CURRENT_LIST_DIR}/OfflineRender.cpp ${CMAKE_CURRENT_LIST_DIR}/OfflineRender.h)
target_link_libraries(ui_player PUBLIC Qt6::Widgets PkgConfig::FLUIDSYNTH job
                                PRIVATE PkgConfig::ALSA korvane_warnings)
