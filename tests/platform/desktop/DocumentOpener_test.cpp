#include "DocumentOpener.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

// Puts a stand-in xdg-open first on PATH for the test's lifetime. It records the argument it
// was given, then runs body.
class StandInOpener {
public:
    explicit StandInOpener(const QString& body) : previousPath_(qgetenv("PATH")) {
        const QString folder = kw27::test::makeFolder(QStringLiteral("opener"));
        record_ = QDir(folder).absoluteFilePath(QStringLiteral("asked"));
        QFile script(folder + QStringLiteral("/xdg-open"));
        script.open(QIODevice::WriteOnly);
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\n%2\n")
                         .arg(record_, body)
                         .toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        qputenv("PATH", QDir(folder).absolutePath().toLocal8Bit() + ':' + previousPath_);
    }
    ~StandInOpener() { qputenv("PATH", previousPath_); }

    QString asked() const {
        QFile file(record_);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private:
    QByteArray previousPath_;
    QString record_;
};

QString makeManual() {
    const QString folder = kw27::test::makeFolder(QStringLiteral("マニュアル"));
    const QString path = QDir(folder).absoluteFilePath(QStringLiteral("KW-27ヘルプ.html"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("<html></html>");
    return path;
}

} // namespace

TEST(DocumentOpener, TheDesktopsOpenerIsGivenTheFileAndItsVerdictCounts) {
    const QString manual = makeManual();
    struct Case {
        const char* opener;
        bool opened;
    };
    const Case cases[] = {
        {"exit 0", true},
        {"exit 3", false}, // xdg-open: no viewer found
        {"exit 4", false}, // xdg-open: the viewer failed
        {"kill -9 $$", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.opener);
        StandInOpener opener(QString::fromLatin1(c.opener));
        EXPECT_EQ(kw27::openDocument(manual), c.opened);
        EXPECT_EQ(opener.asked(), manual);
    }
}

TEST(DocumentOpener, AnOpenerStillRunningHasStartedItsViewer) {
    const QString manual = makeManual();
    StandInOpener opener(QStringLiteral("sleep 5"));
    EXPECT_TRUE(kw27::openDocument(manual));
    EXPECT_EQ(opener.asked(), manual);
}

TEST(DocumentOpener, AMissingFileIsNeverHandedOver) {
    StandInOpener opener(QStringLiteral("exit 0"));
    EXPECT_FALSE(
        kw27::openDocument(QDir::current().absoluteFilePath(QStringLiteral("nothing.html"))));
    EXPECT_TRUE(opener.asked().isEmpty());
}
