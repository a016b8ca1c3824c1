# SPDX-License-Identifier: GPL-3.0-or-later
# The sound editor window, built on the audio kit.
korvix_gui_library(korvix_sound_gui
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Sound.cpp ${CMAKE_CURRENT_LIST_DIR}/Sound.h
  DEPS korvix_media_gui korvix_platform_gui)
