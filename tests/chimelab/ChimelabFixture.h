#pragma once

#include "../platform/media/AviTestClip.h"
#include "TestSupport.h"
#include "Unit1.h"

#include <QCursor>
#include <QDate>
#include <QDir>
#include <QStringList>
#include <array>
#include <filesystem>
#include <memory>

namespace chimelab::test {

// The eight clips as they lie on disk (UTF-8 names) in the order start-up gives them.
inline const QStringList& clipFiles() {
    static const QStringList files{
        QStringLiteral("ド.avi"),   QStringLiteral("re.avi"),  QStringLiteral("ミ.avi"),
        QStringLiteral("ファ.avi"), QStringLiteral("ソ.avi"),  QStringLiteral("ra.avi"),
        QStringLiteral("シ.avi"),   QStringLiteral("ド2.avi"),
    };
    return files;
}

// A fresh "Data" folder in the working folder with small clips for all eight players except
// the one at position missing.
inline void makeClipFolder(int missing = -1) {
    // "Data" may be a link to the generated data set: drop the link, never its contents.
    std::filesystem::remove_all("Data");
    const QString folder = kw27::test::makeFolder(QStringLiteral("Data/Data2"));
    kw27::test::AviLayout layout;
    layout.frames = 2;
    const auto bytes = kw27::test::makeAvi(layout);
    for (int i = 0; i < clipFiles().size(); ++i)
        if (i != missing)
            kw27::test::writeFile(folder + QLatin1Char('/') + clipFiles()[i], bytes);
}

inline std::array<TAnimate*, 8> players(chimelab::TForm1& form) {
    return {form.pitchPage.Animate1, form.pitchPage.Animate2, form.pitchPage.Animate3,
            form.pitchPage.Animate4, form.pitchPage.Animate5, form.pitchPage.Animate6,
            form.pitchPage.Animate7, form.pitchPage.Animate8};
}

inline std::array<TSpeedButton*, 12> dots(chimelab::TForm1& form) {
    const chimelab::Ui::LengthPage& p = form.lengthPage;
    return {p.SpeedButton1, p.SpeedButton2,  p.SpeedButton3,  p.SpeedButton4,
            p.SpeedButton5, p.SpeedButton6,  p.SpeedButton7,  p.SpeedButton8,
            p.SpeedButton9, p.SpeedButton10, p.SpeedButton11, p.SpeedButton12};
}

inline QDate fixedDate() {
    return QDate(2001, 4, 9);
}

// A started main window with sounds and message boxes recorded, the pointer parked away from
// it, and the released splash gone.
class StartedWindow {
public:
    explicit StartedWindow(int missingClip = -1) {
        QCursor::setPos(0, 0);
        makeClipFolder(missingClip);
        form = std::make_unique<chimelab::TForm1>(&fixedDate);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    kw27::test::RecordingSoundPlayer sounds;
    kw27::test::RecordingMessageSink boxes;
    std::unique_ptr<chimelab::TForm1> form;
};

} // namespace chimelab::test
