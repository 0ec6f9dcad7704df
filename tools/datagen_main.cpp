// Writes the data set (sounds and clips) into the folder given on the command line.
#include "DataSet.h"

#include <QGuiApplication>
#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    // Text in the clips needs fonts, hence a GUI application, but never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: kw27_datagen <Data folder>\n");
        return 2;
    }
    try {
        kw27::datagen::writeDataSet(args.at(1));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kw27_datagen: %s\n", e.what());
        return 1;
    }
    return 0;
}
