# SPDX-License-Identifier: GPL-3.0-or-later
# The POI editor: searches, selections, duplicates and the save order (headless), and
# the editor window with its find dialog. A KML document pasted into the list goes
# through the itinerary folder's import, which both list editors share.
include_guard(GLOBAL)

korvix_headless_library(korvix_poieditor
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PoiSelect.cpp ${CMAKE_CURRENT_LIST_DIR}/PoiSelect.h
    ${CMAKE_CURRENT_LIST_DIR}/PoiSave.cpp ${CMAKE_CURRENT_LIST_DIR}/PoiSave.h
  DEPS korvix_poi korvix_core korvix_platform)
korvix_register_headless(korvix_poieditor)

korvix_gui_library(korvix_poieditor_gui
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Ov2Editor.cpp ${CMAKE_CURRENT_LIST_DIR}/Ov2Editor.h
    ${CMAKE_CURRENT_LIST_DIR}/Ov2EditorSearch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FindDialog.cpp ${CMAKE_CURRENT_LIST_DIR}/FindDialog.h
  DEPS korvix_poieditor korvix_grid_gui korvix_media_gui korvix_pictures_gui korvix_latlng_gui
       korvix_platform_gui korvix_itn korvix_exchange_gui)
