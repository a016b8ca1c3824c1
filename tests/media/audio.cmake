# SPDX-License-Identifier: GPL-3.0-or-later
# The audio kit against the real libraries, vorbis-tools and sound server.
pkg_check_modules(KORVIX_TEST_SNDFILE REQUIRED IMPORTED_TARGET sndfile)
set(_audio_tests ${CMAKE_CURRENT_SOURCE_DIR})
korvix_add_test(media_audio_tests
  SOURCES
    ${_audio_tests}/AudioFixtures.cpp ${_audio_tests}/AudioFixtures.h
    ${_audio_tests}/WaveTest.cpp
    ${_audio_tests}/OggTest.cpp
    ${_audio_tests}/SoundBoxTest.cpp
    ${_audio_tests}/AudioDeviceTest.cpp
    ${_audio_tests}/AudioKitTest.cpp
    ${_audio_tests}/SoundCliTest.cpp
  LIBS korvix_media_gui korvix_media PkgConfig::KORVIX_TEST_SNDFILE)
add_dependencies(media_audio_tests korvix-cli)
