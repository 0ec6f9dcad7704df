#include "KwApplication.h"
#include "MessageBoxes.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>

using kw27::MessageIcon;
using kw27::test::RecordingMessageSink;

TEST(ErrorReportText, AppendsFullStopOnlyAfterCharactersSortingAfterIt) {
    struct Row {
        QString message;
        QString shown;
    };
    const Row rows[] = {
        {QStringLiteral("AVI を開くことができません"),
         QStringLiteral("AVI を開くことができません.")},
        {QStringLiteral("ｽﾄﾘｰﾑへの書き込みｴﾗｰ"), QStringLiteral("ｽﾄﾘｰﾑへの書き込みｴﾗｰ.")},
        {QStringLiteral("done."), QStringLiteral("done.")},
        {QStringLiteral("Error Code(1F)"), QStringLiteral("Error Code(1F)")},
        {QStringLiteral("wow!"), QStringLiteral("wow!")},
        {QStringLiteral("a-"), QStringLiteral("a-")},
        {QStringLiteral("x/"), QStringLiteral("x/.")},
        {QStringLiteral("7"), QStringLiteral("7.")},
        {QString(), QString()},
        {QStringLiteral("絵\U0001F600"), QStringLiteral("絵\U0001F600.")},
    };
    for (const Row& row : rows)
        EXPECT_EQ(kw27::errorReportText(row.message), row.shown) << row.message.toStdString();
}

TEST(ApplicationTitle, IsTheExecutableNameUpToTheFirstDotWithTheRestInLowerCase) {
    EXPECT_EQ(kw27::applicationTitleFor(QStringLiteral("Chimelab")), QStringLiteral("Chimelab"));
    EXPECT_EQ(kw27::applicationTitleFor(QStringLiteral("TRIPLAY.EXE")), QStringLiteral("Triplay"));
    EXPECT_EQ(kw27::applicationTitleFor(QStringLiteral("triPlay.v2.bin")),
              QStringLiteral("triplay"));
    EXPECT_EQ(kw27::applicationTitleFor(QStringLiteral("X")), QStringLiteral("X"));
    EXPECT_EQ(kw27::applicationTitle(), QStringLiteral("platform_desktop_tests"));
}

TEST(MessageBoxes, WarningHasTheWarningCaptionAndIcon) {
    RecordingMessageSink sink;
    kw27::showWarning(nullptr, QStringLiteral("ファイルが保存できません｡"));
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(sink.boxes[0].text, QStringLiteral("ファイルが保存できません｡"));
    EXPECT_EQ(sink.boxes[0].icon, MessageIcon::Warning);
}

namespace {
class Thrower : public QObject {
public:
    int events = 0;
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            ++events;
            throw EKwError(QStringLiteral("AVI を開くことができません"));
        }
        return QObject::event(e);
    }
};
} // namespace

TEST(KwApplication, ReportsAnEscapedErrorAndCarriesOnWithTheNextEvent) {
    RecordingMessageSink sink;
    Thrower thrower;
    QEvent first(QEvent::User);
    QEvent second(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &first);
    QCoreApplication::sendEvent(&thrower, &second);
    EXPECT_EQ(thrower.events, 2);
    ASSERT_EQ(sink.boxes.size(), 2u);
    EXPECT_EQ(sink.boxes[0].caption, QStringLiteral("platform_desktop_tests"));
    EXPECT_EQ(sink.boxes[0].text, QStringLiteral("AVI を開くことができません."));
    EXPECT_EQ(sink.boxes[0].icon, MessageIcon::Stop);
}

TEST(RunHandler, StopsTheHandlerAtTheErrorAndReportsIt) {
    RecordingMessageSink sink;
    bool after = false;
    kw27::runHandler([&] {
        throw EKwError(QStringLiteral("ﾌｧｲﾙ x は開けません"));
        after = true;
    });
    EXPECT_FALSE(after);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].text, QStringLiteral("ﾌｧｲﾙ x は開けません."));
}

TEST(KwApplication, WithoutADisplaySaysSoInOneLineAndEndsWithStatus1) {
    // No display named, and a display that no server answers. The test program itself is
    // started again: its application object is the one under test.
    for (const char* display : {"", ":65000"}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (*display)
            environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
        else
            environment.remove(QStringLiteral("DISPLAY"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--gtest_filter=-*")});
        ASSERT_TRUE(program.waitForFinished(60'000)) << display;
        const QString said = QString::fromLocal8Bit(program.readAllStandardError());
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << display;
        EXPECT_EQ(program.exitCode(), 1) << display;
        EXPECT_EQ(said.count(u'\n'), 1) << said.toStdString();
        EXPECT_TRUE(said.startsWith(QStringLiteral("platform_desktop_tests: ")))
            << said.toStdString();
    }
}
