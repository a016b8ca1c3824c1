korvix_add_test(latlng_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/CoordinateTextTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LatLngDialogTest.cpp
  LIBS korvix_latlng_gui)
