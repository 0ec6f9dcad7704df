#pragma once

#include <functional>
#include <sys/stat.h>
#include <sys/types.h>

namespace kw27 {

// The system calls through which the whole-file writer touches the disk, each keeping the
// system's contract (-1 with errno set on failure). A test replaces single calls to make one
// step fail as a USB stick, a network folder or a full disk would, with the rest left real.
struct FileSystemCalls {
    std::function<int(const char* path, int flags, mode_t mode)> open;
    std::function<int(const char* path, struct stat* info)> stat;
    // Whether the process may access path as mode says (W_OK...), under its effective ids.
    std::function<int(const char* path, int mode)> access;
    std::function<int(int fd, mode_t mode)> fchmod;
    std::function<ssize_t(int fd, const void* data, size_t size)> write;
    std::function<int(int fd)> fsync;
    std::function<int(int fd)> close;
    // Gives the open file fd (made without a name) the name path; fails if path exists.
    std::function<int(int fd, const char* path)> linkOpenFile;
    std::function<int(const char* from, const char* to)> rename;
    std::function<int(const char* path)> unlink;

    // The calls as the system makes them.
    static FileSystemCalls real();
};

} // namespace kw27
