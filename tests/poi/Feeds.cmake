# SPDX-License-Identifier: GPL-3.0-or-later
# Tests of the feed imports: the parsers and hostile input, the downloads against a
# local server, the editor's Import entries and the command line.
include_guard(GLOBAL)

korvix_add_test(poi_feed_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/FeedParsersTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FeedBadInputTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FeedDownloadTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FeedCliTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FeedHttp.h
  LIBS korvix_poifeeds Qt6::Network)
if(TARGET korvix-cli)
  add_dependencies(poi_feed_tests korvix-cli)
endif()

korvix_add_test(poi_feed_window_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/FeedEditorTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FeedHttp.h
  LIBS korvix_poieditor_gui)

# The tree's GDDKIA command in the real main window.
if(TARGET korvix_app_gui)
  korvix_add_test(poi_feed_tree_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/FeedTreeTest.cpp ${CMAKE_CURRENT_LIST_DIR}/FeedHttp.h
    LIBS korvix_app_gui)
endif()
