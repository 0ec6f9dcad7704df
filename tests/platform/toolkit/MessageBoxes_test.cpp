#include "MessageBoxes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

// Where the real warning box shows, taken while it is up, before it is dismissed.
QPoint centreOfWarningBox(QWidget* parent) {
    QPoint centre;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        centre = box->frameGeometry().center();
        box->accept();
    });
    poll.start(10);
    kw27::showWarning(parent, QStringLiteral("アニメーションファイルがありません。"));
    return centre;
}

TEST(MessageBoxPlacement, CentredOnItsWindowOrOnTheScreenBeforeAnyWindowShows) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    struct Row {
        bool parentShown;
        QPoint parentPosition;
    };
    // A window at the screen's corner, where a window not yet shown also claims to be.
    const Row rows[] = {{false, {0, 0}}, {true, {20, 30}}, {false, {20, 30}}};
    for (const Row& row : rows) {
        QWidget window;
        window.setFixedSize(600, 420);
        window.move(row.parentPosition);
        if (row.parentShown)
            window.show();
        const QPoint expected = row.parentShown ? window.frameGeometry().center() : screen.center();
        const QPoint centre = centreOfWarningBox(&window);
        EXPECT_LE((centre - expected).manhattanLength(), 4)
            << row.parentShown << " " << centre.x() << "," << centre.y() << " expected "
            << expected.x() << "," << expected.y();
    }
}

} // namespace
