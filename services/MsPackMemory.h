// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The memory and message calls of every mspack_system of ours: plain heap memory and
// no messages (the readers turn failures into their own texts).
#include <mspack.h>

#include <cstdlib>
#include <cstring>

namespace mspackmemory {
inline void message(mspack_file *, const char *, ...) {}
inline void *alloc(mspack_system *, size_t bytes)
{
    return std::malloc(bytes);
}
inline void release(void *p)
{
    std::free(p);
}
inline void copy(void *src, void *dest, size_t bytes)
{
    std::memmove(dest, src, bytes);
}
} // namespace mspackmemory
