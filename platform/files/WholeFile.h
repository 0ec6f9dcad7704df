#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

// Files read and written in one piece: the song, the sheet and the generated data. Its own
// library (Qt Core only), so that the build tools use it too.

namespace kw27 {

struct FileSystemCalls;

struct WholeFileWrite {
    // Told apart by the system's answer, never by comparing owners: on a stick mounted for
    // everyone every file seems to belong to whoever mounted it.
    enum Outcome {
        Written,
        // Refused in that place (EACCES, EPERM, EROFS, ENAMETOOLONG, ENOENT...): a folder or
        // stick that may not be written, a file that may not be replaced (a read-only one, a
        // classmate's in a sticky folder), a name the file system refuses. Nothing was written.
        NotCreated,
        // The disk failed the write, the flush or the sync (ENOSPC, EDQUOT, EIO). The name
        // holds what it held before.
        NotCompleted,
    };
    Outcome outcome = Written;
    QString reason; // the system's words, for the build tools' messages
    int error = 0;  // the system's error number behind a failure
};

// Writes bytes as the whole file at path, replacing a file of that name. The bytes go to a
// file in the same folder that takes the name only once all of them are on disk (written,
// checked and synced), so the name always holds either the earlier file or the whole new one.
// A link at path keeps pointing where it did, to the new content. A replaced file's
// permissions are kept where the file system holds them and the user may set them; where not,
// the new file has what the file system gives. A file that may not be written is not replaced.
WholeFileWrite writeWholeFile(const QString& path, QByteArrayView bytes);
// The same through the given system calls.
WholeFileWrite writeWholeFile(const QString& path, QByteArrayView bytes,
                              const FileSystemCalls& calls);

// The hidden name beside path under which the complete new file waits for the instant before
// it is renamed to path, where the file system cannot make a file without a name (network
// folders, FUSE sticks) while it is written too. A save killed then leaves it behind; it is
// always the same name for the same path, so the next save there takes it over and none pile
// up. It is ".<name>.kw27-save", or, where the file system refuses that name as too long, a
// short one made from a digest of the name. A leftover the user may not remove (a classmate's
// in a sticky folder) is left alone: the save then waits under a name of its own.
QString pendingNameFor(const QString& path);

struct WholeFileRead {
    enum Outcome {
        Read,
        NotOpened, // missing, not a regular file (a FIFO, a device, a folder) or unreadable
        TooLarge,  // more than the most asked for
    };
    Outcome outcome = Read;
    QByteArray bytes;
};

// Reads the regular file at path whole, never more than maxBytes: the size it claims is not
// trusted, since a file may grow while it is read.
WholeFileRead readWholeFile(const QString& path, qint64 maxBytes);

// Opens a regular file for reading and gives its descriptor and size, or -1. The open does
// not block, so a FIFO cannot hold the caller; FIFOs, devices and folders are refused.
int openRegularFile(const char* nativePath, std::uint64_t& size);

} // namespace kw27
