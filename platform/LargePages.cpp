// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LargePages.h"

#include <cstdint>

#if defined(Q_OS_LINUX) || defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

void adviseLargePages(void *data, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = 2u << 20;
    if (!data || bytes < kHugePage)
        return;
    static const std::uintptr_t page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t begin = (std::uintptr_t(data) + page - 1) & ~(page - 1);
    const std::uintptr_t end = (std::uintptr_t(data) + bytes) & ~(page - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE); // advice only: failure is harmless
#else
    (void)data;
    (void)bytes;
#endif
}
