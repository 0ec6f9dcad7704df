// Takes the manual's pictures of both programs: the splash window and each page of Chimelab's
// main window with a few choices made on them as a pupil would, then Triplay's window with a
// chord that fits the material and one that needs more than the 59 cm a pupil has; the pipe
// workshop of Chimelab's menu 工作 with a pipe typed in. Run in the
// output folder (start-up needs the data set), with the offscreen platform; the pictures go to
// the folder given. Pages whose controls are not there yet are taken as they are.

#include "KwApplication.h"
#include "ManualShot.h"
#include "MessageBoxes.h"
#include "PipeWorkshopWindow.h"
#include "Splash.h"
#include "Unit1.h"
#include "Unit2.h"
#include "WavPlayer.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <cstdio>

namespace {

using kw27::manual::PrintedBoxes;

class Silence : public kw27::SoundPlayer {
public:
    bool play(const QString&, unsigned) override { return true; }
};

template <class T> T* control(QWidget* page, const char* name) {
    return page->findChild<T*>(QString::fromLatin1(name));
}

void setText(QWidget* page, const char* name, const QString& text) {
    if (auto* edit = control<QLineEdit>(page, name))
        edit->setText(text);
    else if (auto* plain = control<QPlainTextEdit>(page, name))
        plain->setPlainText(text);
    else if (auto* rich = control<QTextEdit>(page, name))
        rich->setPlainText(text);
}

void choose(QWidget* page, const char* name, int position) {
    if (auto* box = control<QComboBox>(page, name)) {
        box->setCurrentIndex(position);
        // The page may listen to either signal; the total comes out the same.
        Q_EMIT box->activated(position);
    }
}

bool takeChimelab(const QString& folder) {
    bool ok = true;
    {
        TForm2 splash;
        splash.show();
        ok &= kw27::manual::save(splash, folder, "splash.png");
    }

    // A fixed date, so that the pictures come out the same whenever they are taken.
    chimelab::TForm1 form([] { return QDate(2026, 4, 9); });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    form.show();
    QTabWidget* tabs = form.ui->PageControl1;

    if (auto* dot = control<QAbstractButton>(form.ui->TabSheet1, "SpeedButton7"))
        dot->click();
    tabs->setCurrentWidget(form.ui->TabSheet1);
    ok &= kw27::manual::save(form, folder, "chimelab-length.png");

    tabs->setCurrentWidget(form.ui->TabSheet2);
    ok &= kw27::manual::save(form, folder, "chimelab-pitch.png");

    tabs->setCurrentWidget(form.ui->TabSheet3);
    ok &= kw27::manual::save(form, folder, "chimelab-simulation.png");

    QWidget* sheet = form.ui->TabSheet4;
    setText(sheet, "Edit2", QStringLiteral("さくら中学校"));
    setText(sheet, "Edit3", QStringLiteral("2学年　3組"));
    setText(sheet, "Edit4", QStringLiteral("山田　花子"));
    setText(sheet, "Memo2", QStringLiteral("ドミソの和音のチャイムにします。\n玄関につるします。"));
    choose(sheet, "ComboBox1", 12);
    choose(sheet, "ComboBox2", 14);
    choose(sheet, "ComboBox3", 16);
    tabs->setCurrentWidget(sheet);
    ok &= kw27::manual::save(form, folder, "chimelab-sheet.png");

    QWidget* song = form.ui->TabSheet5;
    setText(song, "Edit1", QStringLiteral("かえるのうた"));
    setText(song, "Memo1", QStringLiteral("ド\nレ\nミ\nファ\nミ\nレ\nド\nヤスミ\n"));
    tabs->setCurrentWidget(song);
    ok &= kw27::manual::save(form, folder, "chimelab-composition.png");

    // The workshop with the sheet's ド, ミ and ソ, the first pipe typed as 17.0 cm.
    kw27::workshop::PlanInput start;
    start.lengthsTenthsMm = {1700, 1650, 1530};
    start.kerfTenthsMm = 20;
    chimelab::PipeWorkshopWindow workshop(start, QString(), &form);
    workshop.show();
    ok &= kw27::manual::save(workshop, folder, "chimelab-workshop.png");

    return ok;
}

bool takeTriplay(const QString& folder) {
    triplay::TForm1 window;
    window.show();
    bool ok = true;
    // ド, ミ and ソ: 50.4 cm, within the material.
    choose(&window, "ComboBox1", 12);
    choose(&window, "ComboBox2", 14);
    choose(&window, "ComboBox3", 16);
    ok &= kw27::manual::save(window, folder, "triplay.png");
    // 25 cm, レ and ミ: 59.1 cm, more than there is.
    choose(&window, "ComboBox1", 11);
    choose(&window, "ComboBox2", 13);
    choose(&window, "ComboBox3", 14);
    ok &= kw27::manual::save(window, folder, "triplay-warning.png");
    return ok;
}

} // namespace

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
    Silence silence;
    kw27::setSoundPlayer(&silence);
    PrintedBoxes boxes;
    kw27::setMessageSink(&boxes);
    const bool chimelab = takeChimelab(folder);
    const bool triplay = takeTriplay(folder);
    return chimelab && triplay ? 0 : 1;
}
