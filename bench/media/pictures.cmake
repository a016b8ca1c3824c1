# SPDX-License-Identifier: GPL-3.0-or-later
korvix_add_bench(bench_pictures SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_pictures.cpp LIBS korvix_pictures Qt6::Gui)
