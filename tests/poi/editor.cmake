# SPDX-License-Identifier: GPL-3.0-or-later
# Tests of the POI editor: the headless searches and the save order, the command line,
# and the window with a fake shell.
include_guard(GLOBAL)

korvix_add_test(poi_editor_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PoiSelectTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PoiSaveTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PoiSaveFaultTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DedupCliTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Ov2TestUtil.h
  LIBS korvix_poieditor)
if(TARGET korvix-cli)
  add_dependencies(poi_editor_tests korvix-cli)
endif()
add_dependencies(poi_editor_tests korvix_faultinject)

korvix_add_test(poi_editor_window_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Ov2EditorTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Ov2EditorSpecialFilesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Ov2CoordinateEditingTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Ov2TestUtil.h
  LIBS korvix_poieditor_gui Qt6::Test)
