# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up pictures as files (headless) and the picture and icon editors.
korvix_headless_library(korvix_pictures
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ImgFile.cpp ${CMAKE_CURRENT_LIST_DIR}/ImgFile.h
    ${CMAKE_CURRENT_LIST_DIR}/PoiPin.cpp ${CMAKE_CURRENT_LIST_DIR}/PoiPin.h
  DEPS Qt6::Gui korvix_platform)
korvix_register_headless(korvix_pictures)

korvix_gui_library(korvix_pictures_gui
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Img.cpp ${CMAKE_CURRENT_LIST_DIR}/Img.h
    ${CMAKE_CURRENT_LIST_DIR}/ImgDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/ImgDlg.h
    ${CMAKE_CURRENT_LIST_DIR}/IconEdit.cpp ${CMAKE_CURRENT_LIST_DIR}/IconEdit.h
  DEPS korvix_pictures korvix_platform_gui)
