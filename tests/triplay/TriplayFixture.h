#pragma once

// Helpers for the simulator window's tests: a data folder of small sounds, the window made
// with boxes recorded, and choosing a pipe the way the keyboard does.

#include "DdsdFixture.h"
#include "TestSupport.h"
#include "Unit2.h"

#include <QComboBox>
#include <QCursor>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>

namespace triplaytest {

// The sound file of catalogue position p as it lies on disk, under Data/Data1.
inline std::string soundFileName(int position) {
    const std::string path = triplay::SoundFiles[std::size_t(position)];
    return path.substr(path.rfind('\\') + 1);
}

// A fresh "Data/Data1" with a short sound for every pipe but the one at position missing;
// each sound is a constant level of its own (position + 1) * 100.
inline void makeSoundFolder(int missing = -1) {
    // "Data" may be a link to the generated data set: drop the link, never its contents.
    if (std::filesystem::is_symlink("Data"))
        std::filesystem::remove("Data");
    const QString folder = kw27::test::makeFolder(QStringLiteral("Data/Data1"));
    for (int p = 0; p < kw27::PipeCount; ++p)
        if (p != missing)
            ddsdtest::writeFile(
                folder.toStdString() + "/" + soundFileName(p),
                ddsdtest::wav16(std::vector<std::int16_t>(64, std::int16_t((p + 1) * 100))));
}

// Picks position p in a chooser from the keyboard (first item, then down), which is how a
// pupil's choice reaches the window: as the chooser's activation.
inline void choose(QComboBox* chooser, int position) {
    QTest::keyClick(chooser, Qt::Key_Home);
    for (int i = 0; i < position; ++i)
        QTest::keyClick(chooser, Qt::Key_Down);
}

// The window as the program makes it, with message boxes recorded and the toggle at rest; its
// sounds loaded unless the test wants to see the window before that.
class Started {
public:
    enum class Sounds { Loaded, Loading };
    explicit Started(Sounds sounds = Sounds::Loaded) {
        QCursor::setPos(0, 0);
        triplay::ReadyToPlay = true;
        form = std::make_unique<triplay::TForm1>();
        if (sounds == Sounds::Loaded)
            form->FinishLoading();
    }
    triplay::Ui::TForm1& ui() { return *form->ui; }
    void pressPlay() { QTest::mouseClick(form->ui->CuteButton1, Qt::LeftButton); }

    kw27::test::RecordingMessageSink boxes;
    std::unique_ptr<triplay::TForm1> form;
};

} // namespace triplaytest
