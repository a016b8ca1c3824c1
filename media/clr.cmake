# SPDX-License-Identifier: GPL-3.0-or-later
# Colour schemes: the file and the preview picture (headless), the scheme editor.
korvix_headless_library(korvix_clr
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ClrFile.cpp ${CMAKE_CURRENT_LIST_DIR}/ClrFile.h
    ${CMAKE_CURRENT_LIST_DIR}/ClrPreview.cpp ${CMAKE_CURRENT_LIST_DIR}/ClrPreview.h
  DEPS korvix_core korvix_platform Qt6::Gui)
korvix_register_headless(korvix_clr)

korvix_gui_library(korvix_clr_gui
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SchemEdit.cpp ${CMAKE_CURRENT_LIST_DIR}/SchemEdit.h
  DEPS korvix_clr korvix_grid_gui korvix_platform_gui)
