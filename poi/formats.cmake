# SPDX-License-Identifier: GPL-3.0-or-later
# The POI file formats: OV2 reading and writing, the compact codings, poi.dat, text
# exports and the sample POIs. Headless: QtCore only.
include_guard(GLOBAL)

korvix_headless_library(korvix_poi
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Ov2Codings.cpp ${CMAKE_CURRENT_LIST_DIR}/Ov2Codings.h
    ${CMAKE_CURRENT_LIST_DIR}/Ov2Reader.cpp ${CMAKE_CURRENT_LIST_DIR}/Ov2Reader.h
    ${CMAKE_CURRENT_LIST_DIR}/Ov2Table.cpp ${CMAKE_CURRENT_LIST_DIR}/Ov2Table.h
    ${CMAKE_CURRENT_LIST_DIR}/Ov2Writer.cpp ${CMAKE_CURRENT_LIST_DIR}/Ov2Writer.h
    ${CMAKE_CURRENT_LIST_DIR}/PoiDump.cpp ${CMAKE_CURRENT_LIST_DIR}/PoiDump.h
    ${CMAKE_CURRENT_LIST_DIR}/PoiDat.cpp ${CMAKE_CURRENT_LIST_DIR}/PoiDat.h
    ${CMAKE_CURRENT_LIST_DIR}/SamplePois.cpp ${CMAKE_CURRENT_LIST_DIR}/SamplePois.h
  DEPS korvix_core korvix_platform)
korvix_register_headless(korvix_poi)
