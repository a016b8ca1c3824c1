# SPDX-License-Identifier: GPL-3.0-or-later
# korvix_add_test(NAME SOURCES ... LIBS ...)
# One GoogleTest executable per call, run by CTest on the offscreen platform with the
# XDG folders pointed at a fresh folder, so no test touches the real home.
function(korvix_add_test name)
  cmake_parse_arguments(K "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${K_SOURCES})
  target_link_libraries(${name} PRIVATE ${K_LIBS} korvix_testsupport GTest::gtest)
  target_compile_definitions(${name} PRIVATE
    KORVIX_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    KORVIX_BINARY_DIR="${PROJECT_BINARY_DIR}")
  # The cases a sanitizer build runs are labelled "sanitized".
  set(labels "")
  if(name IN_LIST KORVIX_SANITIZED_TESTS)
    set(labels LABELS sanitized)
  endif()
  # The test main points HOME and the XDG folders at a fresh folder per process.
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      TIMEOUT 300
      ${labels}
      ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()
