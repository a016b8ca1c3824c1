# SPDX-License-Identifier: GPL-3.0-or-later
korvix_add_test(cli_tree_tests SOURCES CliTreeTest.cpp LIBS korvix_app)
add_dependencies(cli_tree_tests korvix-cli)
