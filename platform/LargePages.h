// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>

// Asks the system to back a large block that is about to be filled with huge pages.
// A million-row table then costs a few hundred page faults instead of tens of
// thousands, which on a virtual machine is most of the time a read takes. Blocks
// under a huge page are left alone; where the system has no such advice this does
// nothing.
void adviseLargePages(void *data, std::size_t bytes);
