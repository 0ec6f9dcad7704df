// Renders the program icon for the desktop's icon theme:
//   kw27_icongen <folder> <name> <size>...
// writes <folder>/<size>x<size>/apps/<name>.png for each size.
#include "Assets.h"

#include <QGuiApplication>
#include <cstdio>
#include <exception>
#include <vector>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: kw27_icongen <folder> <name> <size>...\n");
        return 2;
    }
    std::vector<int> sizes;
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        sizes.push_back(args.at(i).toInt(&ok));
        if (!ok) {
            std::fprintf(stderr, "kw27_icongen: not a size: %s\n", qPrintable(args.at(i)));
            return 2;
        }
    }
    try {
        kw27::assets::writeIconTheme(args.at(1), args.at(2), sizes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kw27_icongen: %s\n", e.what());
        return 1;
    }
    return 0;
}
