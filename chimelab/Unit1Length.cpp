#include "Unit1.h"

#include "Fonts.h"
#include "KwApplication.h"
#include "SoundTable.h"
#include "Look.h"
#include "Picture.h"

#include <array>

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
    for (TSpeedButton* dot :
         {lengthPage.SpeedButton1, lengthPage.SpeedButton2, lengthPage.SpeedButton3,
          lengthPage.SpeedButton4, lengthPage.SpeedButton5, lengthPage.SpeedButton6,
          lengthPage.SpeedButton7, lengthPage.SpeedButton8, lengthPage.SpeedButton9,
          lengthPage.SpeedButton10, lengthPage.SpeedButton11, lengthPage.SpeedButton12}) {
        dot->setFont(dotFont);
        connect(dot, &QAbstractButton::clicked, this,
                [this, dot] { kw27::runHandler([this, dot] { SpeedButton1Click(dot); }); });
    }
}

void TForm1::SpeedButton1Click(QObject* Sender) {
    struct Dot {
        TSpeedButton* button;
        int soundEntry;
        const char* lengthText;
    };
    const Dot dots[] = {
        {lengthPage.SpeedButton1, 1, "14"},   {lengthPage.SpeedButton2, 2, "15"},
        {lengthPage.SpeedButton3, 3, "16"},   {lengthPage.SpeedButton4, 4, "17"},
        {lengthPage.SpeedButton5, 5, "18"},   {lengthPage.SpeedButton6, 6, "19"},
        {lengthPage.SpeedButton7, 7, "20"},   {lengthPage.SpeedButton8, 8, "21"},
        {lengthPage.SpeedButton9, 9, "22"},   {lengthPage.SpeedButton10, 10, "23"},
        {lengthPage.SpeedButton11, 11, "24"}, {lengthPage.SpeedButton12, 12, "25"},
    };
    chimelab::playMode = 0;
    for (const Dot& dot : dots) {
        if (Sender == dot.button) {
            chimelab::playEntry(dot.soundEntry, chimelab::playMode);
            lengthPage.Label5->setText(QString::fromLatin1(dot.lengthText));
            lengthPage.Label5->adjustSize();
            return;
        }
    }
}
