# SPDX-License-Identifier: GPL-3.0-or-later
# Coordinate notations (headless) and the coordinate dialog.
korvix_headless_library(korvix_latlng
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/CoordinateText.cpp ${CMAKE_CURRENT_LIST_DIR}/CoordinateText.h)
korvix_register_headless(korvix_latlng)

korvix_gui_library(korvix_latlng_gui
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LatLng.cpp ${CMAKE_CURRENT_LIST_DIR}/LatLng.h
  DEPS korvix_latlng korvix_grid)
