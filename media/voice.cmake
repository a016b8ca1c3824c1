# Voices: the container, the information file and the phrase lists (headless).
korvix_headless_library(korvix_voice
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/VoiceTables.cpp ${CMAKE_CURRENT_LIST_DIR}/VoiceTables.h
    ${CMAKE_CURRENT_LIST_DIR}/VoiceChk.cpp ${CMAKE_CURRENT_LIST_DIR}/VoiceChk.h
    ${CMAKE_CURRENT_LIST_DIR}/VoiceFile.cpp ${CMAKE_CURRENT_LIST_DIR}/VoiceFile.h
  DEPS korvix_pictures korvix_grid korvix_platform Qt6::Gui)
korvix_register_headless(korvix_voice)
