#include "Unit1.h"

#include "Fonts.h"
#include "KwApplication.h"
#include "SoundTable.h"

namespace chimelab {

namespace {

struct PitchRow {
    TCuteButton* Ui::PitchPage::*button;
    TAnimate* Ui::PitchPage::*player;
    const char* clip;
    int soundEntry;
};

// Left to right: do re mi fa sol la ti upper do.
constexpr PitchRow pitchRows[] = {
    {&Ui::PitchPage::CuteButton16, &Ui::PitchPage::Animate1, "Data\\Data2\\ド.avi", 13},
    {&Ui::PitchPage::CuteButton17, &Ui::PitchPage::Animate2, "Data\\Data2\\re.avi", 14},
    {&Ui::PitchPage::CuteButton18, &Ui::PitchPage::Animate3, "Data\\Data2\\ミ.avi", 15},
    {&Ui::PitchPage::CuteButton19, &Ui::PitchPage::Animate4, "Data\\Data2\\ファ.avi", 16},
    {&Ui::PitchPage::CuteButton20, &Ui::PitchPage::Animate5, "Data\\Data2\\ソ.avi", 17},
    {&Ui::PitchPage::CuteButton21, &Ui::PitchPage::Animate6, "Data\\Data2\\ra.avi", 18},
    {&Ui::PitchPage::CuteButton22, &Ui::PitchPage::Animate7, "Data\\Data2\\シ.avi", 19},
    {&Ui::PitchPage::CuteButton23, &Ui::PitchPage::Animate8, "Data\\Data2\\ド2.avi", 20},
};

} // namespace

void TForm1::setUpPitchPage() {
    const QFont captionFont = kw27::pixelFont(QStringLiteral("ＭＳ ゴシック"), 16, true);
    for (const PitchRow& row : pitchRows) {
        TCuteButton* button = pitchPage.*row.button;
        button->setFont(captionFont);
        kw27::connectHandler(button, &TCuteButton::OnClick, this, &TForm1::CuteButton16Click);
    }
}

std::vector<QString> pitchClipNames() {
    std::vector<QString> names;
    for (const PitchRow& row : pitchRows)
        names.push_back(QString::fromUtf8(row.clip));
    return names;
}

void TForm1::givePitchClips(const std::vector<kw27::StoredAviClip>& clips) {
    for (std::size_t i = 0; i < clips.size() && i < std::size(pitchRows); ++i)
        (pitchPage.*pitchRows[i].player)->open(QString::fromUtf8(pitchRows[i].clip), clips[i]);
}

void TForm1::CuteButton16Click(QObject* Sender) {
    chimelab::playMode = 0;
    for (const PitchRow& row : pitchRows) {
        if (Sender != pitchPage.*row.button)
            continue;
        // A player without its clip raises the error the report shows; the sound then stays
        // unplayed, as the handler stops here.
        (pitchPage.*row.player)->setActive(true);
        chimelab::playEntry(row.soundEntry, chimelab::playMode);
        return;
    }
}

} // namespace chimelab
