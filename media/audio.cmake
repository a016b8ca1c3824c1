# SPDX-License-Identifier: GPL-3.0-or-later
# Audio kit: the wave document, wave file conversion, the Ogg runner (headless), and
# the devices and the waveform box (windows side).
pkg_check_modules(KORVIX_SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(KORVIX_SAMPLERATE REQUIRED IMPORTED_TARGET samplerate)

set(_audio ${CMAKE_CURRENT_SOURCE_DIR})
korvix_headless_library(korvix_media
  SOURCES
    ${_audio}/Wave.cpp ${_audio}/Wave.h
    ${_audio}/WaveConvert.cpp
    ${_audio}/WaveEnvelope.cpp ${_audio}/WaveEnvelope.h
    ${_audio}/OggRunner.cpp ${_audio}/OggRunner.h
    ${_audio}/SampleSounds.cpp ${_audio}/SampleSounds.h
  DEPS korvix_platform PkgConfig::KORVIX_SNDFILE PkgConfig::KORVIX_SAMPLERATE)
korvix_register_headless(korvix_media)

find_package(Qt6 REQUIRED COMPONENTS Multimedia)
korvix_gui_library(korvix_media_gui
  SOURCES
    ${_audio}/AudioDevices.cpp ${_audio}/AudioDevices.h
    ${_audio}/SoundBox.cpp ${_audio}/SoundBox.h
    ${_audio}/AudioKit.cpp ${_audio}/AudioKit.h
  DEPS korvix_media korvix_platform_gui Qt6::Multimedia)
