// Takes the manual's pictures of Triplay's window: a chord that fits the material, and a choice
// that needs more than the 59 cm a pupil has. Run in the output folder (the window loads its
// sounds from the data set), with the offscreen platform; the pictures go to the folder given.

#include "KwApplication.h"
#include "MessageBoxes.h"
#include "Unit2.h"

#include <QComboBox>
#include <QDir>
#include <cstdio>

namespace {

// A box would wait for a person: say what it was and carry on.
class PrintedBoxes : public kw27::MessageSink {
public:
    void show(QWidget*, const QString& caption, const QString& text, kw27::MessageIcon) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    }
};

void choose(QWidget& window, const char* name, int position) {
    if (auto* box = window.findChild<QComboBox*>(QString::fromLatin1(name))) {
        box->setCurrentIndex(position);
        Q_EMIT box->activated(position);
    }
}

bool save(QWidget& window, const QString& folder, const char* name) {
    QCoreApplication::processEvents();
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("ALSOFT_DRIVERS"))
        qputenv("ALSOFT_DRIVERS", "null");
    KwApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <picture folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    PrintedBoxes boxes;
    kw27::setMessageSink(&boxes);

    TForm1 window;
    window.show();
    bool ok = true;
    // ド, ミ and ソ: 50.4 cm, within the material.
    choose(window, "ComboBox1", 12);
    choose(window, "ComboBox2", 14);
    choose(window, "ComboBox3", 16);
    ok &= save(window, folder, "triplay.png");
    // 25 cm, レ and ミ: 59.1 cm, more than there is.
    choose(window, "ComboBox1", 11);
    choose(window, "ComboBox2", 13);
    choose(window, "ComboBox3", 14);
    ok &= save(window, folder, "triplay-warning.png");
    return ok ? 0 : 1;
}
