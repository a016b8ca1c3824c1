# SPDX-License-Identifier: GPL-3.0-or-later
korvix_add_bench(bench_coordinates SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_coordinates.cpp LIBS korvix_core)
