# SPDX-License-Identifier: GPL-3.0-or-later
# korvix_headless_library(NAME SOURCES ... DEPS ...)
# A subsystem's file-format and logic code: QtCore, QtXml and QtNetwork only, so a
# widget include fails to build instead of creeping in.
function(korvix_headless_library name)
  cmake_parse_arguments(K "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${K_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC Qt6::Core ${K_DEPS})
endfunction()

# korvix_gui_library(NAME SOURCES ... DEPS ...): the windows beside the headless code.
function(korvix_gui_library name)
  cmake_parse_arguments(K "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${K_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets ${K_DEPS})
endfunction()

# korvix_register_headless(NAME): the CLI, benchmarks and fuzzers link every headless
# library registered here (in dependency order of the subdirectories).
function(korvix_register_headless name)
  set_property(GLOBAL APPEND PROPERTY KORVIX_HEADLESS_LIBS ${name})
endfunction()
