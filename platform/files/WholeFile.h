#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

// Files read and written in one piece: the song, the sheet and the generated data. Its own
// library (Qt Core only), so that the build tools use it too.

namespace kw27 {

struct WholeFileWrite {
    enum Outcome {
        Written,
        NotCreated,   // no file could be made under that name; nothing was written
        NotCompleted, // writing failed part way (a full disk, say); the name is as before
    };
    Outcome outcome = Written;
    QString reason; // the system's words, for the build tools' messages
};

// Writes bytes as the whole file at path, replacing a file of that name. The bytes go to a
// file in the same folder that takes the name only once all of them are on disk (written,
// checked and synced), so the name always holds either the earlier file or the whole new one.
// A link at path keeps pointing where it did, to the new content; a replaced file's
// permissions are kept. A file that may not be written is not replaced.
WholeFileWrite writeWholeFile(const QString& path, QByteArrayView bytes);

// The hidden name beside path under which the complete new file waits for the instant before
// it is renamed to path. Only a process killed in that instant leaves it behind; it is always
// the same name for the same path, so the next save there takes it over and none pile up.
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
