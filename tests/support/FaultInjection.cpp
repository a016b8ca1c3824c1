// SPDX-License-Identifier: GPL-3.0-or-later
// A library loaded with LD_PRELOAD into a program under test: it fails the Nth call of
// one system call, as a dying stick or a full disk would, so the tests see what the
// program really does with the error.
//
//   KORVIX_FAULT_CALL   write, fsync, fdatasync, close, rename, link, open, unlink or syncfs
//   KORVIX_FAULT_NTH    the call to fail, counted from 1; 0 only counts
//   KORVIX_FAULT_ERRNO  the error number given (EIO when unset)
//   KORVIX_FAULT_DIR    only calls on paths or descriptors below this folder count
//   KORVIX_FAULT_COUNT  a file that receives the number of calls counted, at exit
//
// Only the process first loaded counts; programs it starts run untouched.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// Plain arrays: the set-up below may run before any C++ constructor of this library.
char g_call[32];
char g_dir[4096];
size_t g_dirLength = 0;
long g_nth = 0;
int g_errno = EIO;
bool g_active = false;
std::atomic<long> g_seen{0};

template <typename F> F real(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

__attribute__((constructor)) void setUp()
{
    const char *call = getenv("KORVIX_FAULT_CALL");
    if (!call || !*call)
        return;
    // Children inherit the environment; the owner's number keeps them out.
    char me[32];
    snprintf(me, sizeof me, "%d", int(getpid()));
    const char *owner = getenv("KORVIX_FAULT_OWNER");
    if (owner && strcmp(me, owner) != 0)
        return;
    setenv("KORVIX_FAULT_OWNER", me, 1);
    snprintf(g_call, sizeof g_call, "%s", call);
    if (const char *n = getenv("KORVIX_FAULT_NTH"))
        g_nth = strtol(n, nullptr, 10);
    if (const char *e = getenv("KORVIX_FAULT_ERRNO"))
        g_errno = int(strtol(e, nullptr, 10));
    if (const char *d = getenv("KORVIX_FAULT_DIR")) {
        snprintf(g_dir, sizeof g_dir, "%s", d);
        g_dirLength = strlen(g_dir);
    }
    g_active = true;
}

__attribute__((destructor)) void report()
{
    const char *file = g_active ? getenv("KORVIX_FAULT_COUNT") : nullptr;
    if (!file)
        return;
    g_active = false;
    if (FILE *f = fopen(file, "w")) {
        fprintf(f, "%ld\n", g_seen.load());
        fclose(f);
    }
}

bool below(const char *path)
{
    if (!g_dirLength)
        return true;
    char abs[8192];
    if (path[0] == '/') {
        snprintf(abs, sizeof abs, "%s", path);
    } else {
        char cwd[4096];
        if (!getcwd(cwd, sizeof cwd))
            return false;
        snprintf(abs, sizeof abs, "%s/%s", cwd, path);
    }
    return strncmp(abs, g_dir, g_dirLength) == 0 && (abs[g_dirLength] == 0 || abs[g_dirLength] == '/');
}

bool pathBelow(const char *path) { return path && below(path); }

bool fdBelow(int fd)
{
    if (!g_dirLength)
        return true;
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    static auto realReadlink = real<ssize_t (*)(const char *, char *, size_t)>("readlink");
    const ssize_t n = realReadlink(link, target, sizeof target - 1);
    if (n <= 0)
        return false;
    target[n] = 0;
    return below(target);
}

// True when this call is the one to fail; counts every call that qualifies.
bool strike(const char *call, bool qualifies)
{
    if (!g_active || strcmp(g_call, call) != 0 || !qualifies)
        return false;
    const long n = ++g_seen;
    if (n != g_nth)
        return false;
    errno = g_errno;
    return true;
}

mode_t modeOf(int flags, va_list ap)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(ap, int)) : 0;
}
} // namespace

extern "C" {
ssize_t write(int fd, const void *buf, size_t n)
{
    static auto next = real<ssize_t (*)(int, const void *, size_t)>("write");
    if (g_active && !strcmp(g_call, "write") && strike("write", fdBelow(fd)))
        return -1;
    return next(fd, buf, n);
}

int fsync(int fd)
{
    static auto next = real<int (*)(int)>("fsync");
    if (g_active && !strcmp(g_call, "fsync") && strike("fsync", fdBelow(fd)))
        return -1;
    return next(fd);
}

int fdatasync(int fd)
{
    static auto next = real<int (*)(int)>("fdatasync");
    if (g_active && !strcmp(g_call, "fdatasync") && strike("fdatasync", fdBelow(fd)))
        return -1;
    return next(fd);
}

int syncfs(int fd)
{
    static auto next = real<int (*)(int)>("syncfs");
    if (g_active && !strcmp(g_call, "syncfs") && strike("syncfs", fdBelow(fd)))
        return -1;
    return next(fd);
}

int close(int fd)
{
    static auto next = real<int (*)(int)>("close");
    // Linux frees the descriptor even when close fails.
    if (g_active && !strcmp(g_call, "close") && strike("close", fdBelow(fd))) {
        next(fd);
        errno = g_errno;
        return -1;
    }
    return next(fd);
}

int rename(const char *from, const char *to)
{
    static auto next = real<int (*)(const char *, const char *)>("rename");
    if (g_active && !strcmp(g_call, "rename") && strike("rename", pathBelow(to)))
        return -1;
    return next(from, to);
}

int renameat(int fromDir, const char *from, int toDir, const char *to)
{
    static auto next = real<int (*)(int, const char *, int, const char *)>("renameat");
    if (g_active && !strcmp(g_call, "rename") && strike("rename", pathBelow(to)))
        return -1;
    return next(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned flags)
{
    static auto next = real<int (*)(int, const char *, int, const char *, unsigned)>("renameat2");
    if (g_active && !strcmp(g_call, "rename") && strike("rename", pathBelow(to)))
        return -1;
    return next(fromDir, from, toDir, to, flags);
}

int link(const char *from, const char *to)
{
    static auto next = real<int (*)(const char *, const char *)>("link");
    if (g_active && !strcmp(g_call, "link") && strike("link", pathBelow(to)))
        return -1;
    return next(from, to);
}

int linkat(int fromDir, const char *from, int toDir, const char *to, int flags)
{
    static auto next = real<int (*)(int, const char *, int, const char *, int)>("linkat");
    if (g_active && !strcmp(g_call, "link") && strike("link", pathBelow(to)))
        return -1;
    return next(fromDir, from, toDir, to, flags);
}

int unlink(const char *path)
{
    static auto next = real<int (*)(const char *)>("unlink");
    if (g_active && !strcmp(g_call, "unlink") && strike("unlink", pathBelow(path)))
        return -1;
    return next(path);
}

// Only opens for writing count: the faults are about saving, and readers are many.
static bool writes(int flags) { return (flags & O_ACCMODE) != O_RDONLY || (flags & O_CREAT); }

int open(const char *path, int flags, ...)
{
    static auto next = real<int (*)(const char *, int, ...)>("open");
    va_list ap;
    va_start(ap, flags);
    const mode_t mode = modeOf(flags, ap);
    va_end(ap);
    if (g_active && !strcmp(g_call, "open") && writes(flags) && strike("open", pathBelow(path)))
        return -1;
    return next(path, flags, mode);
}

int open64(const char *path, int flags, ...)
{
    static auto next = real<int (*)(const char *, int, ...)>("open64");
    va_list ap;
    va_start(ap, flags);
    const mode_t mode = modeOf(flags, ap);
    va_end(ap);
    if (g_active && !strcmp(g_call, "open") && writes(flags) && strike("open", pathBelow(path)))
        return -1;
    return next(path, flags, mode);
}

int openat(int dir, const char *path, int flags, ...)
{
    static auto next = real<int (*)(int, const char *, int, ...)>("openat");
    va_list ap;
    va_start(ap, flags);
    const mode_t mode = modeOf(flags, ap);
    va_end(ap);
    if (g_active && !strcmp(g_call, "open") && writes(flags) && strike("open", pathBelow(path)))
        return -1;
    return next(dir, path, flags, mode);
}

int openat64(int dir, const char *path, int flags, ...)
{
    static auto next = real<int (*)(int, const char *, int, ...)>("openat64");
    va_list ap;
    va_start(ap, flags);
    const mode_t mode = modeOf(flags, ap);
    va_end(ap);
    if (g_active && !strcmp(g_call, "open") && writes(flags) && strike("open", pathBelow(path)))
        return -1;
    return next(dir, path, flags, mode);
}
}
