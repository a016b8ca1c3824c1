# SPDX-License-Identifier: GPL-3.0-or-later
# Colour schemes: the file, the preview and the command line (headless).
korvix_add_test(clr_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ClrFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ClrReadBoundsTest.cpp
  LIBS korvix_clr Qt6::Gui)
add_dependencies(clr_tests korvix-cli)

korvix_add_test(clr_editor_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ClrEditorTest.cpp
  LIBS korvix_clr_gui Qt6::Test)

korvix_add_test(clr_tree_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ClrTreeTest.cpp
  LIBS korvix_app_gui)
