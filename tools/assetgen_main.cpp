// Renders the programs' pictures as PNG files into the folder given on the command line.
#include "Assets.h"

#include <QGuiApplication>
#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    // Text in the pictures needs fonts, hence a GUI application, but never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: kw27_assetgen <folder>\n");
        return 2;
    }
    try {
        kw27::assets::writeAssets(args.at(1));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kw27_assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
