// Rings three pipes in Triplay's window and stops them, as a pupil does: play press, 2.3 s of
// ringing, stop press, 1 s more. Run on OpenAL's wave driver it records what a listener
// hears; bench/edges.sh measures the record above 20 kHz at the start, ringing and stop.
//   build/bench/bin/triplay_edges_bench build/KW-27

#include "Unit2.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>

namespace {

void runFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: triplay_edges_bench FOLDER-OF-TRIPLAY\n");
        return 2;
    }
    triplay::TForm1 form;
    form.show();
    form.FinishLoading();
    // do, mi and so of the scale pipes.
    form.ui->ComboBox1->setCurrentIndex(12);
    form.ui->ComboBox2->setCurrentIndex(14);
    form.ui->ComboBox3->setCurrentIndex(16);
    runFor(500);
    form.CuteButton1Click(&form);
    runFor(2300);
    form.CuteButton1Click(&form);
    runFor(1000);
    return 0;
}
