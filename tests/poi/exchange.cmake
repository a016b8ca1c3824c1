# SPDX-License-Identifier: GPL-3.0-or-later
# Tests of the GPX and KML exchange: our own reader and import, the real xmllint and
# gpsbabel, and korvix-cli convert.
include_guard(GLOBAL)

korvix_add_test(poi_exchange_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/GpxTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GpxInteropTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConvertCliTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ExchangeTestUtil.h
  LIBS korvix_exchange korvix_itn)
if(TARGET korvix-cli)
  add_dependencies(poi_exchange_tests korvix-cli)
endif()

# The editors' GPX and KML entries, with the real windows.
korvix_add_test(exchange_editor_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/GpxEditorsTest.cpp ${CMAKE_CURRENT_LIST_DIR}/EditorUndoTest.cpp
  LIBS korvix_poieditor_gui korvix_itn_gui korvix_exchange_gui)
