# SPDX-License-Identifier: GPL-3.0-or-later
# Voices: the container, the information file and the command line, against the real
# Ogg Vorbis encoder.
korvix_add_test(voice_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/VoiceFixtures.cpp ${CMAKE_CURRENT_LIST_DIR}/VoiceFixtures.h
    ${CMAKE_CURRENT_LIST_DIR}/AudioFixtures.cpp ${CMAKE_CURRENT_LIST_DIR}/AudioFixtures.h
    ${CMAKE_CURRENT_LIST_DIR}/VoiceFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VoiceCliTest.cpp
  LIBS korvix_voice korvix_media korvix_poi PkgConfig::KORVIX_TEST_SNDFILE)
add_dependencies(voice_tests korvix-cli)

# The voice editor window, offscreen, with the real programs and sound server.
korvix_add_test(voice_editor_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/VoiceFixtures.cpp ${CMAKE_CURRENT_LIST_DIR}/VoiceFixtures.h
    ${CMAKE_CURRENT_LIST_DIR}/AudioFixtures.cpp ${CMAKE_CURRENT_LIST_DIR}/AudioFixtures.h
    ${CMAKE_CURRENT_LIST_DIR}/VoiceEditorTest.cpp
  LIBS korvix_voice_gui korvix_voice korvix_media_gui Qt6::Test PkgConfig::KORVIX_TEST_SNDFILE)

# The voice editor reached from the main window's tree.
korvix_add_test(voice_entry_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/VoiceFixtures.cpp ${CMAKE_CURRENT_LIST_DIR}/VoiceFixtures.h
    ${CMAKE_CURRENT_LIST_DIR}/AudioFixtures.cpp ${CMAKE_CURRENT_LIST_DIR}/AudioFixtures.h
    ${CMAKE_CURRENT_LIST_DIR}/VoiceEntryTest.cpp
  LIBS korvix_app_gui korvix_voice_gui PkgConfig::KORVIX_TEST_SNDFILE)
