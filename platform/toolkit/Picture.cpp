#include "Picture.h"

#include <QGuiApplication>
#include <QImage>
#include <utility>

namespace kw27 {

QString doubleSizeName(const QString& fileName) {
    const qsizetype slash = fileName.lastIndexOf(u'/');
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot <= slash + 1)
        return fileName + QStringLiteral("@2x");
    return fileName.left(dot) + QStringLiteral("@2x") + fileName.mid(dot);
}

QPixmap loadPicture(const QString& fileName, qreal devicePixelRatio) {
    if (devicePixelRatio > 1.0) {
        QImage sharp(doubleSizeName(fileName));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return QPixmap::fromImage(std::move(sharp));
        }
    }
    return QPixmap(fileName);
}

QPixmap loadPicture(const QString& fileName) {
    return loadPicture(fileName, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}

QIcon loadIcon(const QString& fileName) {
    QIcon icon;
    const QPixmap picture(fileName);
    if (picture.isNull())
        return icon;
    icon.addPixmap(picture);
    const QPixmap sharp = loadPicture(fileName, 2.0);
    if (sharp.size() != picture.size())
        icon.addPixmap(sharp);
    return icon;
}

} // namespace kw27
