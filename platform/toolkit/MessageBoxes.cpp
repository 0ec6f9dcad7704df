#include "MessageBoxes.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace kw27 {

namespace {
MessageSink* g_sink = nullptr;

void showBox(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) {
    if (g_sink) {
        g_sink->show(parent, caption, text, icon);
        return;
    }
    // A box is centred on its parent window; one for a window not yet shown (a warning at
    // start-up) would be centred on where that window has not yet been placed, at the screen's
    // corner, so it is centred on the screen instead.
    QWidget* owner = parent && parent->window()->isVisible() ? parent : nullptr;
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Critical,
                    caption, text, QMessageBox::Ok, owner);
    box.exec();
}
} // namespace

MessageSink* setMessageSink(MessageSink* sink) {
    MessageSink* previous = g_sink;
    g_sink = sink;
    return previous;
}

void showWarning(QWidget* parent, const QString& text) {
    showBox(parent, QStringLiteral("警告"), text, MessageIcon::Warning);
}

void showErrorReport(const QString& message) {
    showBox(QApplication::activeWindow(), applicationTitle(), errorReportText(message),
            MessageIcon::Stop);
}

QString applicationTitle() {
    const QString path = QCoreApplication::instance()
                             ? QCoreApplication::applicationFilePath()
                             : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return applicationTitleFor(QFileInfo(path).fileName());
}

QString applicationTitleFor(const QString& executableFileName) {
    QString name = executableFileName;
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString errorReportText(const QString& message) {
    if (message.isEmpty())
        return message;
    const auto codePoints = message.toUcs4();
    if (codePoints.last() > U'.')
        return message + u'.';
    return message;
}

} // namespace kw27
