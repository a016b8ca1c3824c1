# SPDX-License-Identifier: GPL-3.0-or-later
korvix_add_test(cli_bounded_read_tests SOURCES CliBoundedReadTest.cpp)
add_dependencies(cli_bounded_read_tests korvix-cli)
