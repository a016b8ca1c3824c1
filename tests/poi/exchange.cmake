# SPDX-License-Identifier: GPL-3.0-or-later
# The editors' GPX and KML entries.
include_guard(GLOBAL)

# The editors' GPX and KML entries, with the real windows.
korvix_add_test(exchange_editor_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/GpxEditorsTest.cpp ${CMAKE_CURRENT_LIST_DIR}/EditorUndoTest.cpp
  LIBS korvix_poieditor_gui korvix_itn_gui korvix_exchange_gui)
