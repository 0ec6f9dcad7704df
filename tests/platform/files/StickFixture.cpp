#include "StickFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kw27::test {

QStringList entriesOf(const QString& folder) {
    QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                 QDir::NoDotAndDotDot);
    entries.sort();
    return entries;
}

namespace {

constexpr long kFuseMagic = 0x65735546;

QString findProgram(const QString& name) {
    const QString found = QStandardPaths::findExecutable(name);
    if (!found.isEmpty())
        return found;
    return QStandardPaths::findExecutable(name,
                                          {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
}

bool isFuseMount(const QString& path) {
    struct statfs info {};
    return ::statfs(QFile::encodeName(path).constData(), &info) == 0 && info.f_type == kFuseMagic;
}

// Runs a program to its end; the output when it failed, else empty.
QString runToEnd(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30'000)) {
        process.kill();
        process.waitForFinished();
        return program + QStringLiteral(" did not end");
    }
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return {};
    const QString said = QString::fromLocal8Bit(process.readAll()).trimmed();
    return program + QStringLiteral(" failed: ") +
           (said.isEmpty() ? QStringLiteral("no words") : said);
}

} // namespace

FuseMount::FuseMount(const QString& program, QStringList arguments, const QString& mountPoint)
    : mountPoint_(mountPoint) {
    const int fuse = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (fuse < 0) {
        reason_ = QStringLiteral("/dev/fuse cannot be opened here: ") + qt_error_string(errno);
        return;
    }
    ::close(fuse);
    const QString found = findProgram(program);
    if (found.isEmpty()) {
        reason_ = program + QStringLiteral(" is not installed");
        return;
    }
    arguments << mountPoint;
    reason_ = runToEnd(found, arguments);
    if (!reason_.isEmpty())
        return;
    mounted_ = isFuseMount(mountPoint);
    if (!mounted_)
        reason_ = program + QStringLiteral(" ended without a FUSE mount");
}

FuseMount::~FuseMount() {
    if (!mounted_)
        return;
    const QString fusermount = findProgram(QStringLiteral("fusermount3"));
    if (fusermount.isEmpty() ||
        !runToEnd(fusermount, {QStringLiteral("-u"), mountPoint_}).isEmpty())
        runToEnd(findProgram(QStringLiteral("umount")), {QStringLiteral("-l"), mountPoint_});
}

QString makeFatImage(const QString& path) {
    const QString mkfs = findProgram(QStringLiteral("mkfs.vfat"));
    if (mkfs.isEmpty())
        return QStringLiteral("mkfs.vfat is not installed");
    QFile::remove(path);
    return runToEnd(mkfs, {QStringLiteral("-C"), QStringLiteral("-F"), QStringLiteral("32"),
                           QStringLiteral("-S"), QStringLiteral("512"), QStringLiteral("-s"),
                           QStringLiteral("1"), path, QStringLiteral("40000")});
}

QString whyNoOrdinaryUser() {
    if (::geteuid() != 0)
        return QStringLiteral("acting as two ordinary users needs root");
    return {};
}

int runAs(uid_t uid, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(uid, uid, uid) != 0 ||
            ::setresuid(uid, uid, uid) != 0)
            ::_exit(126);
        ::_exit(body());
    }
    if (child < 0)
        return -1;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

QString makeSharedFolder(const QString& name) {
    static QTemporaryDir root(QDir::tempPath() + QStringLiteral("/kw27-shared-XXXXXX"));
    ::chmod(QFile::encodeName(root.path()).constData(), 0755);
    const QString folder = root.filePath(name);
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    return folder;
}

} // namespace kw27::test
