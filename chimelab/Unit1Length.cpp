#include "Unit1.h"

#include "Fonts.h"
#include "KwApplication.h"
#include "Look.h"
#include "Picture.h"
#include "SoundTable.h"

namespace chimelab {

namespace {

struct Dot {
    TSpeedButton* Ui::LengthPage::*button;
    int soundEntry;
    const char* lengthText;
};

// The twelve dots from the shortest pipe to the longest, 14 to 25 cm.
constexpr Dot dots[] = {
    {&Ui::LengthPage::SpeedButton1, 1, "14"},   {&Ui::LengthPage::SpeedButton2, 2, "15"},
    {&Ui::LengthPage::SpeedButton3, 3, "16"},   {&Ui::LengthPage::SpeedButton4, 4, "17"},
    {&Ui::LengthPage::SpeedButton5, 5, "18"},   {&Ui::LengthPage::SpeedButton6, 6, "19"},
    {&Ui::LengthPage::SpeedButton7, 7, "20"},   {&Ui::LengthPage::SpeedButton8, 8, "21"},
    {&Ui::LengthPage::SpeedButton9, 9, "22"},   {&Ui::LengthPage::SpeedButton10, 10, "23"},
    {&Ui::LengthPage::SpeedButton11, 11, "24"}, {&Ui::LengthPage::SpeedButton12, 12, "25"},
};

} // namespace

void TForm1::setUpLengthPage() {
    lengthPage.Image1->setPixmap(kw27::loadPicture(QStringLiteral(":/assets/pipe.png")));
    const QString gothic = QStringLiteral("ＭＳ ゴシック");
    struct LabelLook {
        QLabel* label;
        int pixels;
        bool bold;
        bool italic;
        TColor colour;
    };
    const LabelLook labels[] = {
        {lengthPage.Label12, 16, true, true, clBlack},
        {lengthPage.Label14, 16, true, true, clBlack},
        {lengthPage.Label13, 20, true, false, clLime},
        {lengthPage.Label1, 21, true, false, clBlue},
        {lengthPage.Label2, 19, true, false, clBlue},
        {lengthPage.Label3, 16, true, false, clBlue},
        {lengthPage.Label4, 21, true, false, clBlack},
        {lengthPage.Label5, 21, true, false, clRed},
        {lengthPage.Label6, 21, true, false, clBlack},
    };
    for (const LabelLook& look : labels) {
        look.label->setFont(kw27::pixelFont(gothic, look.pixels, look.bold, look.italic));
        kw27::setTextColour(look.label, look.colour);
        look.label->adjustSize();
    }

    for (QFrame* shape : {lengthPage.Shape1, lengthPage.Shape2, lengthPage.Shape3})
        kw27::setBackgroundColour(shape, clYellow);

    const QFont dotFont = kw27::pixelFont(gothic, 20, true);
    for (const Dot& row : dots) {
        TSpeedButton* dot = lengthPage.*row.button;
        dot->setFont(dotFont);
        kw27::connectHandler(dot, &QAbstractButton::clicked, this, &TForm1::SpeedButton1Click);
    }
}

void TForm1::SpeedButton1Click(QObject* Sender) {
    chimelab::playMode = 0;
    for (const Dot& dot : dots) {
        if (Sender == lengthPage.*dot.button) {
            chimelab::playEntry(dot.soundEntry, chimelab::playMode);
            lengthPage.Label5->setText(QString::fromLatin1(dot.lengthText));
            lengthPage.Label5->adjustSize();
            return;
        }
    }
}

} // namespace chimelab
