#include "DocumentOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <utility>

namespace kw27 {
namespace {

UrlOpener& installedOpener() {
    static UrlOpener opener;
    return opener;
}

}  // namespace

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
    return QDesktopServices::openUrl(url);
}

}  // namespace kw27
