#include "Assets.h"

#include "AssetDrawings.h"
#include "OutputFile.h"

#include <QBuffer>
#include <QDir>
#include <stdexcept>
#include <string>

namespace kw27::assets {
namespace {

struct Entry {
    AssetInfo info;
    QImage (*draw)(int scale);
};

const std::vector<Entry>& entries() {
    static const std::vector<Entry> list = {
        {{QStringLiteral("icon.png"), QSize(32, 32)}, drawIcon},
        {{QStringLiteral("door.png"), QSize(32, 16)}, drawDoor},
        {{QStringLiteral("logo.png"), QSize(246, 44)}, drawLogo},
        {{QStringLiteral("pipe.png"), QSize(386, 105)}, drawPipe},
        {{QStringLiteral("clef.png"), QSize(40, 40)}, drawClef},
        {{QStringLiteral("undo.png"), QSize(32, 16)}, drawUndo},
        {{QStringLiteral("clear.png"), QSize(32, 16)}, drawClear},
        {{QStringLiteral("save.png"), QSize(32, 16)}, drawSave},
        {{QStringLiteral("load.png"), QSize(32, 16)}, drawLoad},
        {{QStringLiteral("printer.png"), QSize(44, 39)}, drawPrinter},
        {{QStringLiteral("floppy.png"), QSize(43, 43)}, drawFloppy},
        {{QStringLiteral("chime.png"), QSize(123, 330)}, drawChime},
        {{QStringLiteral("lamp.png"), QSize(32, 16)}, drawLamp},
    };
    return list;
}

void savePng(const QString& path, const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        throw std::runtime_error("cannot encode " + path.toStdString());
    tools::writeOutputFile(path, png);
}

} // namespace

const std::vector<AssetInfo>& assetList() {
    static const std::vector<AssetInfo> list = [] {
        std::vector<AssetInfo> infos;
        for (const Entry& e : entries())
            infos.push_back(e.info);
        return infos;
    }();
    return list;
}

QImage renderAsset(const QString& name, int scale) {
    if (scale < 1)
        throw std::invalid_argument("no picture at scale " + std::to_string(scale));
    for (const Entry& e : entries()) {
        if (e.info.name == name) {
            QImage image = e.draw(scale);
            if (image.size() != e.info.size * scale)
                throw std::logic_error("picture " + name.toStdString() +
                                       " drawn at the wrong size");
            return image;
        }
    }
    throw std::invalid_argument("no picture named " + name.toStdString());
}

QString scaledName(const QString& name, int scale) {
    if (scale == 1)
        return name;
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString suffix = QStringLiteral("@%1x").arg(scale);
    return dot < 0 ? name + suffix : name.left(dot) + suffix + name.mid(dot);
}

void writeAssets(const QString& folder) {
    for (const AssetInfo& a : assetList())
        for (int scale : assetScales)
            savePng(QDir(folder).filePath(scaledName(a.name, scale)), renderAsset(a.name, scale));
}

QImage renderIcon(int pixels) {
    if (pixels < 16)
        throw std::invalid_argument("no icon below 16 pixels");
    return drawIconAt(pixels);
}

void writeIconTheme(const QString& folder, const QString& name, const std::vector<int>& sizes) {
    for (int n : sizes) {
        const QString path =
            QStringLiteral("%1/%2x%2/apps/%3.png").arg(folder, QString::number(n), name);
        savePng(path, renderIcon(n));
    }
}

} // namespace kw27::assets
