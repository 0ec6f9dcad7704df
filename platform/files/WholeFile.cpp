#include "WholeFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kw27 {

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

qsizetype nameMaxIn(const QString& folder) {
    const long max = ::pathconf(native(folder).constData(), _PC_NAME_MAX);
    return max > 0 ? qsizetype(max) : qsizetype(255);
}

// A link is followed to the file it names, as far as it leads, so that the link stays.
QString finalPathOf(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

WholeFileWrite failed(WholeFileWrite::Outcome outcome, int error) {
    return {outcome, qt_error_string(error)};
}

bool writeAll(int fd, QByteArrayView bytes) {
    const char* next = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, next, std::size_t(std::min<qsizetype>(left, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        next += n;
        left -= n;
    }
    return true;
}

// A new file in final's folder, without a name where the file system allows it (so that a
// process killed while writing leaves nothing behind), else under the pending name. Returns
// its descriptor, or -1 with errno set.
int openUnnamedBeside(const QString& final, const QString& pending, mode_t mode, bool& named) {
    named = false;
    const int fd = ::open(native(QFileInfo(final).absolutePath()).constData(),
                          O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR))
        return fd;
    named = true;
    ::unlink(native(pending).constData());
    return ::open(native(pending).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}

bool linkAsPending(int fd, const QString& pending) {
    ::unlink(native(pending).constData());
    char self[32];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    return ::linkat(AT_FDCWD, self, AT_FDCWD, native(pending).constData(), AT_SYMLINK_FOLLOW) == 0;
}

} // namespace

QString pendingNameFor(const QString& path) {
    const QFileInfo info(path);
    const QString suffix = QStringLiteral(".kw27-save");
    const qsizetype max = nameMaxIn(info.absolutePath());
    QString name = u'.' + info.fileName() + suffix;
    if (native(name).size() > max) {
        // Shortened, with a digest of the whole name, so that two long names that begin alike
        // still wait under names of their own.
        const QString digest =
            u'~' + QString::fromLatin1(
                       QCryptographicHash::hash(native(info.fileName()), QCryptographicHash::Sha1)
                           .toHex()
                           .left(16));
        QString stem = info.fileName();
        while (!stem.isEmpty() && native(u'.' + stem + digest + suffix).size() > max)
            stem.chop(stem.size() >= 2 && stem.back().isLowSurrogate() ? 2 : 1);
        name = u'.' + stem + digest + suffix;
    }
    return info.dir().filePath(name);
}

WholeFileWrite writeWholeFile(const QString& path, QByteArrayView bytes) {
    const QString final = finalPathOf(path);
    const QFileInfo info(final);
    // The file is only linked under its name at the end: a name that cannot be, a folder in
    // the way or a file that may not be written must be found out before anything is written.
    if (info.fileName().isEmpty() || info.isDir())
        return failed(WholeFileWrite::NotCreated, EISDIR);
    if (native(info.fileName()).size() > nameMaxIn(info.absolutePath()))
        return failed(WholeFileWrite::NotCreated, ENAMETOOLONG);
    struct stat earlier {};
    const bool replacing = ::stat(native(final).constData(), &earlier) == 0;
    if (replacing && ::faccessat(AT_FDCWD, native(final).constData(), W_OK, AT_EACCESS) != 0)
        return failed(WholeFileWrite::NotCreated, errno);

    const QString pending = pendingNameFor(final);
    bool named = false;
    // Readable by nobody else until it has the replaced file's permissions.
    const int fd = openUnnamedBeside(final, pending, replacing ? 0600 : 0666, named);
    if (fd < 0)
        return failed(WholeFileWrite::NotCreated, errno);
    // Every step is checked: a full disk may show at any write, or only at the sync.
    bool complete = (!replacing || ::fchmod(fd, earlier.st_mode & 07777) == 0) &&
                    writeAll(fd, bytes) && ::fsync(fd) == 0 &&
                    (named || linkAsPending(fd, pending));
    int error = errno;
    if (::close(fd) != 0 && complete) {
        complete = false;
        error = errno;
    }
    if (!complete) {
        ::unlink(native(pending).constData());
        return failed(WholeFileWrite::NotCompleted, error);
    }
    if (::rename(native(pending).constData(), native(final).constData()) != 0) {
        const int renameError = errno;
        ::unlink(native(pending).constData());
        return failed(WholeFileWrite::NotCompleted, renameError);
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
