# SPDX-License-Identifier: GPL-3.0-or-later
# The editors' GPX and KML entries (window side of exchange/).
include_guard(GLOBAL)

# The editors' Export and Import entries for GPX and KML.
korvix_gui_library(korvix_exchange_gui
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/GpxMenus.cpp ${CMAKE_CURRENT_LIST_DIR}/GpxMenus.h
  DEPS korvix_exchange)
