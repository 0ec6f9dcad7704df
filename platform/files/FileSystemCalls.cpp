#include "FileSystemCalls.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace kw27 {

FileSystemCalls FileSystemCalls::real() {
    FileSystemCalls calls;
    calls.open = [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); };
    calls.stat = [](const char* path, struct stat* info) { return ::stat(path, info); };
    calls.access = [](const char* path, int mode) {
        return ::faccessat(AT_FDCWD, path, mode, AT_EACCESS);
    };
    calls.fchmod = [](int fd, mode_t mode) { return ::fchmod(fd, mode); };
    calls.write = [](int fd, const void* data, size_t size) { return ::write(fd, data, size); };
    calls.fsync = [](int fd) { return ::fsync(fd); };
    calls.close = [](int fd) { return ::close(fd); };
    calls.linkOpenFile = [](int fd, const char* path) {
        // Through /proc, which needs no privilege (linking the descriptor itself does).
        char self[32];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
        return ::linkat(AT_FDCWD, self, AT_FDCWD, path, AT_SYMLINK_FOLLOW);
    };
    calls.rename = [](const char* from, const char* to) { return ::rename(from, to); };
    calls.unlink = [](const char* path) { return ::unlink(path); };
    return calls;
}

} // namespace kw27
