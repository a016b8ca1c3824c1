# SPDX-License-Identifier: GPL-3.0-or-later
# The coordinate dialog; the notations it reads are in core/.
korvix_gui_library(korvix_latlng_gui
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LatLng.cpp ${CMAKE_CURRENT_LIST_DIR}/LatLng.h
  DEPS korvix_core)
