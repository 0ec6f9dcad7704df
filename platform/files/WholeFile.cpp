#include "WholeFile.h"

#include "FileSystemCalls.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace kw27 {

namespace {

QString pendingSuffix() {
    return QStringLiteral(".kw27-save");
}

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// A link is followed to the file it names, as far as it leads, so that the link stays.
QString finalPathOf(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

// The disk itself failing, as against the place refusing the file.
bool isDiskFailure(int error) {
    return error == ENOSPC || error == EDQUOT || error == EIO;
}

WholeFileWrite failed(WholeFileWrite::Outcome outcome, int error) {
    return {outcome, qt_error_string(error), error};
}

// A failure of a step that makes or names the file (open, link, rename): the answer tells
// whether the place refused it or the disk failed.
WholeFileWrite refusedOrFailed(int error) {
    return failed(isDiskFailure(error) ? WholeFileWrite::NotCompleted : WholeFileWrite::NotCreated,
                  error);
}

// The file system cannot hold permissions (FAT: ENOSYS, some FUSE drivers: EOPNOTSUPP) or the
// user may not set them on this file (a stick mounted for everyone shows every file as the
// mounter's: EPERM). The save lands all the same.
bool permissionsCannotBeKept(int error) {
    return error == ENOSYS || error == EPERM || error == EOPNOTSUPP;
}

bool writeAll(const FileSystemCalls& calls, int fd, QByteArrayView bytes) {
    const char* next = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = calls.write(fd, next, std::size_t(std::min<qsizetype>(left, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC;
        if (n <= 0)
            return false;
        next += n;
        left -= n;
    }
    return true;
}

QString fullPendingName(const QFileInfo& final) {
    return final.dir().filePath(u'.' + final.fileName() + pendingSuffix());
}

QString shortPendingName(const QFileInfo& final) {
    const QByteArray digest =
        QCryptographicHash::hash(native(final.fileName()), QCryptographicHash::Sha1).toHex();
    return final.dir().filePath(QStringLiteral(".~") + QString::fromLatin1(digest.left(16)) +
                                pendingSuffix());
}

// pending with a random part before the suffix: a name no earlier save of this file used.
QString uniqueVariantOf(const QString& pending) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString part(6, u'x');
    for (QChar& c : part)
        c = QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)]);
    return pending.chopped(pendingSuffix().size()) + u'.' + part + pendingSuffix();
}

// Makes the pending name through create (which fails with EEXIST on a name in use), taking
// over a leftover of an interrupted save. Returns the name, or an empty one with errno set.
QString claimPendingName(const QFileInfo& final, const FileSystemCalls& calls,
                         const std::function<bool(const QByteArray&)>& create) {
    for (const QString& pending : {fullPendingName(final), shortPendingName(final)}) {
        calls.unlink(native(pending).constData());
        if (create(native(pending)))
            return pending;
        if (errno == ENAMETOOLONG)
            continue;
        if (errno != EEXIST)
            return {};
        // A leftover this user may not remove (a classmate's in a sticky folder).
        for (int attempt = 0; attempt < 16; ++attempt) {
            const QString unique = uniqueVariantOf(pending);
            if (create(native(unique)))
                return unique;
            if (errno != EEXIST)
                break;
        }
        if (errno != ENAMETOOLONG)
            return {};
    }
    errno = ENAMETOOLONG;
    return {};
}

} // namespace

QString pendingNameFor(const QString& path) {
    const QFileInfo info(path);
    const QString full = fullPendingName(info);
    struct stat st {};
    if (::lstat(native(full).constData(), &st) != 0 && errno == ENAMETOOLONG)
        return shortPendingName(info);
    return full;
}

WholeFileWrite writeWholeFile(const QString& path, QByteArrayView bytes) {
    return writeWholeFile(path, bytes, FileSystemCalls::real());
}

WholeFileWrite writeWholeFile(const QString& path, QByteArrayView bytes,
                              const FileSystemCalls& calls) {
    const QString final = finalPathOf(path);
    const QFileInfo info(final);
    const QByteArray finalName = native(final);
    // The file is only named at the end: a name the file system refuses, a folder in the way
    // or a file that may not be written must be found out before anything is written. Its
    // length is the file system's to judge (exFAT and NTFS count UTF-16 units, not bytes).
    if (info.fileName().isEmpty() || info.isDir())
        return failed(WholeFileWrite::NotCreated, EISDIR);
    struct stat earlier {};
    const bool replacing = calls.stat(finalName.constData(), &earlier) == 0;
    if (!replacing && errno != ENOENT)
        return refusedOrFailed(errno);
    if (replacing && calls.access(finalName.constData(), W_OK) != 0)
        return refusedOrFailed(errno);

    // Readable by nobody else until it has the replaced file's permissions.
    const mode_t mode = replacing ? 0600 : 0666;
    QString pending;
    // Without a name where the file system allows it, so that a process killed while writing
    // leaves nothing behind.
    int fd =
        calls.open(native(info.absolutePath()).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR)) {
        pending = claimPendingName(info, calls, [&](const QByteArray& name) {
            fd = calls.open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            return fd >= 0;
        });
    }
    if (fd < 0)
        return refusedOrFailed(errno);

    const auto abandon = [&](WholeFileWrite result) {
        calls.close(fd);
        if (!pending.isEmpty())
            calls.unlink(native(pending).constData());
        return result;
    };
    if (replacing && calls.fchmod(fd, earlier.st_mode & 07777) != 0 &&
        !permissionsCannotBeKept(errno))
        return abandon(failed(WholeFileWrite::NotCompleted, errno));
    // Every step is checked: a full disk may show at any write, or only at the sync.
    if (!writeAll(calls, fd, bytes) || calls.fsync(fd) != 0)
        return abandon(failed(WholeFileWrite::NotCompleted, errno));
    if (pending.isEmpty()) {
        pending = claimPendingName(info, calls, [&](const QByteArray& name) {
            return calls.linkOpenFile(fd, name.constData()) == 0;
        });
        if (pending.isEmpty())
            return abandon(refusedOrFailed(errno));
    }
    if (calls.close(fd) != 0) {
        const int error = errno;
        calls.unlink(native(pending).constData());
        return failed(WholeFileWrite::NotCompleted, error);
    }
    if (calls.rename(native(pending).constData(), finalName.constData()) != 0) {
        const int error = errno;
        calls.unlink(native(pending).constData());
        return refusedOrFailed(error);
    }
    return {};
}

int openRegularFile(const char* nativePath, std::uint64_t& size) {
    const int fd = ::open(nativePath, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    size = std::uint64_t(st.st_size);
    return fd;
}

WholeFileRead readWholeFile(const QString& path, qint64 maxBytes) {
    std::uint64_t size = 0;
    const int fd = openRegularFile(native(path).constData(), size);
    if (fd < 0)
        return {WholeFileRead::NotOpened, {}};
    if (size > std::uint64_t(maxBytes)) {
        ::close(fd);
        return {WholeFileRead::TooLarge, {}};
    }
    // One byte beyond the most tells a file that grew past it.
    const qint64 room = maxBytes + 1;
    QByteArray bytes(qsizetype(std::min<qint64>(qint64(size) + 1, room)), Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        if (total == bytes.size()) {
            if (total == room)
                break;
            bytes.resize(qsizetype(std::min<qint64>(room, std::max<qint64>(4096, 2 * total))));
        }
        const ssize_t n = ::read(fd, bytes.data() + total, std::size_t(bytes.size() - total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return {WholeFileRead::NotOpened, {}};
        }
        if (n == 0)
            break;
        total += n;
    }
    ::close(fd);
    if (total > maxBytes)
        return {WholeFileRead::TooLarge, {}};
    bytes.truncate(qsizetype(total));
    return {WholeFileRead::Read, bytes};
}

} // namespace kw27
