# SPDX-License-Identifier: GPL-3.0-or-later
# KORVIX_SANITIZE: every target of this build folder with AddressSanitizer and
# UndefinedBehaviorSanitizer. Undefined behaviour stops the program, so a finding fails
# its test instead of scrolling past in the log.
# KORVIX_FUZZ: every library compiled for libFuzzer's coverage with the same checks;
# the fuzz targets (fuzz/) link them. Only clang has libFuzzer.
if(KORVIX_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(WARNING "The fuzz targets need clang (-DCMAKE_CXX_COMPILER=clang++); skipped")
  set(KORVIX_FUZZ OFF)
endif()
if(KORVIX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
elseif(KORVIX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The tests of the headless libraries and the command line: what a sanitizer build
# compiles and runs (`ctest -L sanitized`, target korvix_sanitized). The windows and the
# browser stay out; there the sanitizers would mostly weigh Qt's and Chromium's own memory.
set(KORVIX_SANITIZED_TESTS
  platform_tests grid_tests poi_formats_tests poi_editor_tests itn_tests app_tests
  cli_tree_tests clr_tests voice_tests services_tests poi_feed_tests exchange_tests)
