# SPDX-License-Identifier: GPL-3.0-or-later
# The feed and file imports of the POI editor: the headless parsers and downloads,
# and the editor's Import menu entries built on them.
include_guard(GLOBAL)
find_package(Qt6 REQUIRED COMPONENTS Xml Network)

korvix_headless_library(korvix_poifeeds
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Feeds.cpp ${CMAKE_CURRENT_LIST_DIR}/Feeds.h
    ${CMAKE_CURRENT_LIST_DIR}/FeedDownload.cpp ${CMAKE_CURRENT_LIST_DIR}/FeedDownload.h
    ${CMAKE_CURRENT_LIST_DIR}/MapSettings.cpp ${CMAKE_CURRENT_LIST_DIR}/MapSettings.h
  DEPS korvix_poi korvix_itn korvix_exchange korvix_platform Qt6::Xml Qt6::Network)
korvix_register_headless(korvix_poifeeds)

if(TARGET korvix_poieditor_gui)
  target_sources(korvix_poieditor_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FeedMenu.cpp ${CMAKE_CURRENT_LIST_DIR}/FeedMenu.h)
  target_link_libraries(korvix_poieditor_gui PUBLIC korvix_poifeeds)
endif()
