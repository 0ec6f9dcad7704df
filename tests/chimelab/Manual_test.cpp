#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

// The manual as the build ships it: everything it shows or links to is there beside it, and it
// is plain HTML that any browser reads without running anything.
TEST(Manual, ShipsWithEverythingItLinksToAndRunsNoScripts) {
    const QDir folder(QString::fromUtf8(KW27_DATA_DIR) + QStringLiteral("/マニュアル"));
    QFile file(folder.filePath(QStringLiteral("KW-27ヘルプ.html")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    const QString html = QString::fromUtf8(file.readAll());

    EXPECT_FALSE(html.contains(QStringLiteral("<script"), Qt::CaseInsensitive));
    EXPECT_FALSE(html.contains(QStringLiteral("javascript:"), Qt::CaseInsensitive));
    EXPECT_FALSE(html.contains(QRegularExpression(QStringLiteral(R"(\son[a-z]+\s*=)"))))
        << "an event handler attribute";

    QSet<QString> ids;
    for (const auto& match :
         QRegularExpression(QStringLiteral(R"re(\sid="([^"]+)")re")).globalMatch(html))
        ids.insert(match.captured(1));

    int files = 0;
    for (const auto& match :
         QRegularExpression(QStringLiteral(R"re(\s(?:src|href)="([^"]+)")re")).globalMatch(html)) {
        const QString target = match.captured(1);
        SCOPED_TRACE(target.toStdString());
        if (target.startsWith(QLatin1Char('#'))) {
            EXPECT_TRUE(ids.contains(target.mid(1))) << "no such section";
        } else {
            EXPECT_FALSE(target.contains(QStringLiteral("://"))) << "the manual works offline";
            EXPECT_TRUE(QFileInfo(folder.filePath(target)).isFile()) << "not shipped";
            ++files;
        }
    }
    // The stylesheet, the photograph and the pictures of both programs' windows.
    EXPECT_GE(files, 10);
}
