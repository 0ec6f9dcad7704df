#pragma once

// What the generators' main functions share: text in what they draw needs fonts, hence a GUI
// application, but never a display; a usage line when the arguments are off; the error and
// a failing status when the work throws.

#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <exception>

namespace kw27::tools {

// Runs work with the command line's arguments (the program's name first) when it holds
// between least and most of them after the name; work returns the exit status.
template <class Work>
int toolMain(int argc, char** argv, const char* name, const char* usage, qsizetype least,
             qsizetype most, Work work) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() - 1 < least || args.size() - 1 > most) {
        std::fprintf(stderr, "usage: %s %s\n", name, usage);
        return 2;
    }
    try {
        return work(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
        return 1;
    }
}

} // namespace kw27::tools
