// Takes the manual's pictures of Triplay's window: a chord that fits the material, and a choice
// that needs more than the 59 cm a pupil has. Run in the output folder (the window loads its
// sounds from the data set), with the offscreen platform; the pictures go to the folder given.

#include "KwApplication.h"
#include "ManualShot.h"
#include "MessageBoxes.h"
#include "Unit2.h"

#include <QComboBox>
#include <QDir>
#include <cstdio>

namespace {

using kw27::manual::PrintedBoxes;

void choose(QWidget& window, const char* name, int position) {
    if (auto* box = window.findChild<QComboBox*>(QString::fromLatin1(name))) {
        box->setCurrentIndex(position);
        Q_EMIT box->activated(position);
    }
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
    ok &= kw27::manual::save(window, folder, "triplay.png");
    // 25 cm, レ and ミ: 59.1 cm, more than there is.
    choose(window, "ComboBox1", 11);
    choose(window, "ComboBox2", 13);
    choose(window, "ComboBox3", 14);
    ok &= kw27::manual::save(window, folder, "triplay-warning.png");
    return ok ? 0 : 1;
}
