# SPDX-License-Identifier: GPL-3.0-or-later
# Voices: the container, the information file and the phrase lists (headless).
korvix_headless_library(korvix_voice
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/VoiceTables.cpp ${CMAKE_CURRENT_LIST_DIR}/VoiceTables.h
    ${CMAKE_CURRENT_LIST_DIR}/VoiceChk.cpp ${CMAKE_CURRENT_LIST_DIR}/VoiceChk.h
    ${CMAKE_CURRENT_LIST_DIR}/VoiceFile.cpp ${CMAKE_CURRENT_LIST_DIR}/VoiceFile.h
    ${CMAKE_CURRENT_LIST_DIR}/VoiceSpeech.cpp ${CMAKE_CURRENT_LIST_DIR}/VoiceSpeech.h
  DEPS korvix_media korvix_pictures korvix_core korvix_platform Qt6::Gui)
korvix_register_headless(korvix_voice)

# The voice editor window and its phrase editing.
korvix_gui_library(korvix_voice_gui
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Voice.cpp ${CMAKE_CURRENT_LIST_DIR}/Voice.h
    ${CMAKE_CURRENT_LIST_DIR}/VoicePhrase.cpp
  DEPS korvix_voice korvix_media_gui korvix_grid_gui korvix_platform_gui)
