# SPDX-License-Identifier: GPL-3.0-or-later
korvix_add_test(pictures_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ImgFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ImgEditorTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IconEditTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureFixtures.cpp ${CMAKE_CURRENT_LIST_DIR}/PictureFixtures.h
  LIBS korvix_pictures_gui Qt6::Test)
