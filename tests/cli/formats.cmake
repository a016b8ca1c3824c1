# SPDX-License-Identifier: GPL-3.0-or-later
# The format commands against hostile inputs (FIFOs, devices, huge files), failing
# system calls (the fault library) and a really full disk.
korvix_add_test(cli_file_safety_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/CliFixtures.cpp ${CMAKE_CURRENT_LIST_DIR}/CliFixtures.h
    ${CMAKE_CURRENT_LIST_DIR}/BoundedReadTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SaveFaultTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FullDiskCliTest.cpp
  LIBS Qt6::Gui)
add_dependencies(cli_file_safety_tests korvix-cli korvix_faultinject)
