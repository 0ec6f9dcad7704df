#pragma once

// The manual's picture tool: message boxes printed instead of waiting for a person, and a
// window's picture written to the folder given.

#include "MessageBoxes.h"
#include "WholeFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QWidget>
#include <cstdio>

namespace kw27::manual {

// A box would wait for a person: say what it was and carry on.
class PrintedBoxes : public kw27::MessageSink {
public:
    void show(QWidget*, const QString& caption, const QString& text, kw27::MessageIcon) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    }
};

// The window as drawn once waiting events are handled; the path written is printed.
inline bool save(QWidget& window, const QString& folder, const char* name) {
    QCoreApplication::processEvents();
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !window.grab().save(&buffer, "PNG") ||
        kw27::writeWholeFile(path, png).outcome != kw27::WholeFileWrite::Written) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace kw27::manual
