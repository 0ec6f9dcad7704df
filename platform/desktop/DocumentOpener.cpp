#include "DocumentOpener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <utility>

namespace kw27 {
namespace {

UrlOpener& installedOpener() {
    static UrlOpener opener;
    return opener;
}

// How long the desktop's opener is given to say it found no viewer. Desktop openers hand the
// file over and end at once; the generic one runs the browser itself and ends only with it, so
// one still running by then has started a viewer.
constexpr int openerVerdictMs = 2000;

// xdg-open tells by its exit status whether a viewer could be started, which
// QDesktopServices::openUrl does not pass on (it reports success when no browser exists).
bool openWithDesktop(const QUrl& url) {
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty())
        return QDesktopServices::openUrl(url);
    // Owned by the application, so that a viewer still running keeps its process object.
    auto* opener = new QProcess(QCoreApplication::instance());
    opener->setProgram(xdgOpen);
    opener->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString()});
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
    opener->start();
    if (!opener->waitForStarted()) {
        opener->deleteLater();
        return false;
    }
    if (!opener->waitForFinished(openerVerdictMs))
        return true;
    return opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
}

} // namespace

UrlOpener setUrlOpener(UrlOpener opener) {
    return std::exchange(installedOpener(), std::move(opener));
}

bool openDocument(const QString& fileName) {
    const QFileInfo file(fileName);
    if (!file.isFile() || !file.isReadable())
        return false;
    const QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    if (const UrlOpener& opener = installedOpener())
        return opener(url);
    return openWithDesktop(url);
}

} // namespace kw27
