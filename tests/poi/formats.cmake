# SPDX-License-Identifier: GPL-3.0-or-later
# Tests of the POI formats; the command-line tests run the real korvix-cli and the
# interoperability tests the real gpsbabel.
include_guard(GLOBAL)

set(_poi_format_tests
  Ov2ReaderTest.cpp)
foreach(_t Ov2WriterTest.cpp Ov2CodingsTest.cpp PoiDatTest.cpp
           DeviceCodecTest.cpp GpsbabelInteropTest.cpp PoiCliTest.cpp SamplePoisTest.cpp
           PoiSaveMessageTest.cpp)
  if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/${_t})
    list(APPEND _poi_format_tests ${_t})
  endif()
endforeach()
list(TRANSFORM _poi_format_tests PREPEND ${CMAKE_CURRENT_LIST_DIR}/)

korvix_add_test(poi_formats_tests
  SOURCES ${_poi_format_tests} ${CMAKE_CURRENT_LIST_DIR}/Ov2TestUtil.h
  LIBS korvix_poi korvix_exchange Qt6::Gui)
if(TARGET korvix-cli)
  add_dependencies(poi_formats_tests korvix-cli)
endif()
