# SPDX-License-Identifier: GPL-3.0-or-later
# Opening and saving a 59-phrase voice, and the phrase load after a row change.
korvix_add_bench(media_voice_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/VoiceBench.cpp
  LIBS korvix_voice_gui korvix_voice korvix_media_gui korvix_media)
