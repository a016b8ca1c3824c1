# SPDX-License-Identifier: GPL-3.0-or-later
# GPX reading and writing and KML export of POI lists and itineraries: the exchange
# with other navigation programs. Headless: QtCore only.
include_guard(GLOBAL)

korvix_headless_library(korvix_exchange
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Gpx.cpp ${CMAKE_CURRENT_LIST_DIR}/Gpx.h ${CMAKE_CURRENT_LIST_DIR}/GpxXml.h
    ${CMAKE_CURRENT_LIST_DIR}/KmlExport.cpp ${CMAKE_CURRENT_LIST_DIR}/KmlExport.h
  DEPS korvix_poi korvix_grid korvix_platform)
korvix_register_headless(korvix_exchange)

# The editors' Export and Import entries for GPX and KML.
korvix_gui_library(korvix_exchange_gui
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/GpxMenus.cpp ${CMAKE_CURRENT_LIST_DIR}/GpxMenus.h
  DEPS korvix_exchange)
