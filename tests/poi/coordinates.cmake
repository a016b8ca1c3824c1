# SPDX-License-Identifier: GPL-3.0-or-later
korvix_add_test(latlng_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LatLngDialogTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CoordinateCliTest.cpp
  LIBS korvix_latlng_gui)
if(TARGET korvix-cli)
  add_dependencies(latlng_test korvix-cli)
endif()
