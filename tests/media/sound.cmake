# SPDX-License-Identifier: GPL-3.0-or-later
# The sound editor against the real vorbis-tools and sound server.
pkg_check_modules(KORVIX_SOUND_TEST_SNDFILE REQUIRED IMPORTED_TARGET sndfile)
korvix_add_test(sound_editor_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SoundEditorTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AudioFixtures.cpp ${CMAKE_CURRENT_LIST_DIR}/AudioFixtures.h
  LIBS korvix_sound_gui korvix_app PkgConfig::KORVIX_SOUND_TEST_SNDFILE Qt6::Test)

korvix_add_test(sound_tree_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SoundTreeEditorTest.cpp
  LIBS korvix_app_gui)
