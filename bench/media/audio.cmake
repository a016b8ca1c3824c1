# SPDX-License-Identifier: GPL-3.0-or-later
# The audio kit's benchmarks.
pkg_check_modules(KORVIX_BENCH_SNDFILE REQUIRED IMPORTED_TARGET sndfile)
korvix_add_bench(media_audio_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/AudioBench.cpp
  LIBS korvix_media_gui korvix_media PkgConfig::KORVIX_BENCH_SNDFILE)
