# SPDX-License-Identifier: GPL-3.0-or-later
korvix_add_test(cli_messages_tests SOURCES CliMessagesTest.cpp)
add_dependencies(cli_messages_tests korvix-cli korvix)
