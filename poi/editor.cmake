# The POI editor: searches, selections, duplicates and the save order (headless), and
# the editor window with its find dialog.
include_guard(GLOBAL)

korvix_headless_library(korvix_poieditor
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Duplicates.cpp ${CMAKE_CURRENT_LIST_DIR}/Duplicates.h
    ${CMAKE_CURRENT_LIST_DIR}/PoiSelect.cpp ${CMAKE_CURRENT_LIST_DIR}/PoiSelect.h
    ${CMAKE_CURRENT_LIST_DIR}/PoiSave.cpp ${CMAKE_CURRENT_LIST_DIR}/PoiSave.h
  DEPS korvix_poi korvix_grid korvix_platform)
korvix_register_headless(korvix_poieditor)
