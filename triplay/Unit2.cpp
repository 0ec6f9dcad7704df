#include "Unit2.h"

#include "AccessibleNames.h"
#include "Fonts.h"
#include "KwApplication.h"
#include "Look.h"
#include "MessageBoxes.h"
#include "TColor.h"
#include "Total.h"

#include <QCoreApplication>
#include <QShowEvent>
#include <exception>
#include <future>
#include <utility>

namespace {

constexpr int clientWidth = 508;
constexpr int clientHeight = 354;
constexpr int channelCount = kw27::PipeCount + 1;

const QString gothic = QStringLiteral("ＭＳ ゴシック");

} // namespace

namespace triplay {

bool ReadyToPlay = true;
const kw27::LengthTable Length;

const std::array<const char*, kw27::PipeCount> SoundFiles{{
    "Data\\Data1\\14cm.wav", "Data\\Data1\\15cm.wav", "Data\\Data1\\16cm.wav",
    "Data\\Data1\\17cm.wav", "Data\\Data1\\18cm.wav", "Data\\Data1\\19cm.wav",
    "Data\\Data1\\20cm.wav", "Data\\Data1\\21cm.wav", "Data\\Data1\\22cm.wav",
    "Data\\Data1\\23cm.wav", "Data\\Data1\\24cm.wav", "Data\\Data1\\25cm.wav",
    "Data\\Data1\\C.wav",    "Data\\Data1\\D.wav",    "Data\\Data1\\E.wav",
    "Data\\Data1\\F.wav",    "Data\\Data1\\G.wav",    "Data\\Data1\\A.wav",
    "Data\\Data1\\B.wav",    "Data\\Data1\\C2.wav",
}};

namespace {

// A form file gives font sizes in points only; the layout gives them in pixels.
struct LabelLook {
    QLabel* Ui::TForm1::*label;
    int pixels;
    bool bold;
    bool underline;
    TColor colour;
};

constexpr LabelLook labelLooks[] = {
    {&Ui::TForm1::Label4, 15, false, true, clGreen},
    {&Ui::TForm1::Label5, 15, false, true, clGreen},
    {&Ui::TForm1::Label6, 16, true, false, clBlue},
    {&Ui::TForm1::Label7, 16, true, false, clBlue},
    {&Ui::TForm1::Label8, 16, true, false, clBlue},
    {&Ui::TForm1::Label1, 19, true, false, clWindowText},
    {&Ui::TForm1::Label9, 19, true, false, clWindowText},
    {&Ui::TForm1::Label2, 19, true, false, clBlue},
    {&Ui::TForm1::Label3, 19, true, false, clWindowText},
    {&Ui::TForm1::Label10, 19, true, false, clRed},
    {&Ui::TForm1::Label11, 19, true, false, clRed},
};

// Every text of the window (fixed, or a total in digits) is wholly in the IPA faces: no other
// face is looked up for glyphs they lack, which would cost the window a good part of its start.
QFont windowFont(const QString& family, int pixels, bool bold = false) {
    QFont font = kw27::pixelFont(family, pixels, bold);
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

QFont labelFont(const LabelLook& look) {
    QFont font = windowFont(gothic, look.pixels, look.bold);
    font.setUnderline(look.underline);
    return font;
}

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TForm1>()) {
    kw27::setWindowLook(this);
    setFont(windowFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
    ui->setupUi(this);
    // A dialog border: fixed size, no minimise or maximise box.
    setFixedSize(clientWidth, clientHeight);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    // A form file holds widgets only, so the device component is made here, once the controls
    // are built. Its after-loading step opens the device and the twenty sounds are loaded into
    // it, which takes a while and reads nothing of the window but its handle (made now): both
    // run on a worker started once the window is first painted (run beside the window's own
    // start, on two cores, it delayed that paint by more than it saved). A failure while the
    // device opens ends the program (FinishLoading); one while the sounds load is FormCreate's
    // to report.
    DDSD1 = new TDDSD(this);
    DDSD1->setObjectName(QStringLiteral("DDSD1"));
    DDSD1->setChannelCount(channelCount);
    winId();
    // No input may reach a handler before the sounds are in.
    QCoreApplication::instance()->installEventFilter(this);

    for (const LabelLook& look : labelLooks) {
        QLabel* label = (*ui).*look.label;
        label->setFont(labelFont(look));
        kw27::setTextColour(label, look.colour);
        label->adjustSize();
    }
    ui->CuteButton1->setFont(windowFont(gothic, 16, true));
    ui->CuteButton2->setFont(windowFont(gothic, 27));

    kw27::nameControls(this);

    for (QComboBox* chooser : choosers())
        kw27::connectHandler(chooser, &QComboBox::activated, this, &TForm1::ComboBox1Change);
    kw27::connectHandler(ui->CuteButton1, &TCuteButton::OnClick, this, &TForm1::CuteButton1Click);
    kw27::connectHandler(ui->CuteButton2, &TCuteButton::OnClick, this, &TForm1::CuteButton2Click);
}

TForm1::~TForm1() {
    // Nothing may be freed under the worker; a device failure has been reported by now.
    QCoreApplication::instance()->removeEventFilter(this);
    if (loading_.valid()) {
        try {
            loading_.get();
        } catch (...) {
        }
    }
    kw27::runHandler([this] { FormDestroy(this); });
    // DDSD1 goes with the other children after this, releasing the channels and the device.
}

std::array<QComboBox*, 3> TForm1::choosers() const {
    return {ui->ComboBox1, ui->ComboBox2, ui->ComboBox3};
}

void TForm1::loadSounds() {
    for (std::size_t i = 0; i < waves_.size(); ++i)
        waves_[i] =
            std::make_unique<TDDSDWaveData>(DDSD1, QString::fromUtf8(triplay::SoundFiles[i]));
}

void TForm1::startLoading() {
    if (loadingStarted_)
        return;
    loadingStarted_ = true;
    loading_ = std::async(std::launch::async, [this] {
        DDSD1->Loaded();
        try {
            loadSounds();
        } catch (...) {
            loadFailure_ = std::current_exception();
        }
    });
}

void TForm1::FinishLoading() {
    startLoading();
    if (loading_.valid()) {
        try {
            loading_.get();
        } catch (...) {
            deviceFailure_ = std::current_exception();
        }
        // Input passes again only to a window with its sounds; removed before FormCreate, whose
        // warning runs an event loop of its own.
        if (!deviceFailure_) {
            QCoreApplication::instance()->removeEventFilter(this);
            // An error that loading does not expect is reported, and the window works all the
            // same.
            kw27::runHandler([this] { FormCreate(this); });
        }
    }
    if (deviceFailure_)
        std::rethrow_exception(deviceFailure_);
}

void TForm1::finishLoadingInLoop() {
    try {
        FinishLoading();
    } catch (...) {
        // The program's end reports it, once the loop is left.
        QCoreApplication::exit(1);
    }
}

bool TForm1::event(QEvent* event) {
    // Joined on the first turn of the loop after the window was first painted.
    if (event->type() == QEvent::Paint && !loadingStarted_) {
        startLoading();
        QMetaObject::invokeMethod(this, &TForm1::finishLoadingInLoop, Qt::QueuedConnection);
    }
    return QWidget::event(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->isInputEvent()) {
        finishLoadingInLoop();
        // A program that is ending takes no more input.
        if (deviceFailure_)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::FormCreate(QObject*) {
    try {
        if (loadFailure_)
            std::rethrow_exception(std::exchange(loadFailure_, nullptr));
    } catch (const EDDSD&) {
        // Whatever went wrong, the pupil is told the same; no pipe gets a sound then.
        kw27::showWarning(this, QStringLiteral("Waveファイルが見つかりません。"));
        return;
    }
    for (int k = 1; k <= kw27::PipeCount; ++k)
        DDSD1->Channel(k)->setWaveData(waves_[std::size_t(k - 1)].get());
}

void TForm1::ComboBox1Change(QObject*) {
    const kw27::Currency total = triplay::pipeTotal(
        triplay::Length, {ui->ComboBox1->currentIndex(), ui->ComboBox2->currentIndex(),
                          ui->ComboBox3->currentIndex()});
    const triplay::TotalLook look = triplay::totalLook(total);
    QFont font = ui->Label2->font();
    font.setPixelSize(triplay::pointsToPixels(look.points));
    ui->Label2->setFont(font);
    kw27::setTextColour(ui->Label2, look.colour);
    ui->Label10->setText(look.line1);
    ui->Label10->adjustSize();
    ui->Label11->setText(look.line2);
    ui->Label11->adjustSize();

    ui->Label2->setText(total.text());
    ui->Label2->adjustSize();
}

void TForm1::CuteButton1Click(QObject*) {
    if (triplay::ReadyToPlay) {
        triplay::ReadyToPlay = false;
        PlayPipes();
        return;
    }
    for (QComboBox* chooser : choosers())
        if (TDDSDChannel* channel = DDSD1->Channel(chooser->currentIndex() + 1))
            channel->Stop();
    // Also what the last play press started: a chooser changed while the pipes rang must not
    // leave its old pipe ringing on with the button back at rest.
    for (int k : started_)
        DDSD1->Channel(k)->Stop();
    started_.clear();
    ui->CuteButton1->setCaption(QStringLiteral("まとめて鳴らす"));
    triplay::ReadyToPlay = true;
}

void TForm1::PlayPipes() {
    ui->CuteButton1->setCaption(QStringLiteral("止める"));
    started_.clear();
    // Started one after another in this one handler, the three sounds begin together: the
    // mixer gets them in one call, however long the handler takes between them.
    kw27::ds::StartTogether together(DDSD1->device());
    for (QComboBox* chooser : choosers()) {
        const int k = chooser->currentIndex() + 1;
        TDDSDChannel* channel = DDSD1->Channel(k);
        // Only a device whose channels were never made has none here.
        if (channel == nullptr) {
            kw27::showWarning(this, QStringLiteral("パイプを3本選んでください"));
            return;
        }
        channel->Play();
        started_.push_back(k);
    }
}

void TForm1::CuteButton2Click(QObject*) {
    close();
}

void TForm1::FormDestroy(QObject*) {
    // Each wave releases its own buffer, which needs the device: DDSD1 is destroyed later.
    for (auto& wave : waves_)
        wave.reset();
}

void TForm1::showEvent(QShowEvent* event) {
    // Centred when first shown.
    if (!event->spontaneous() && !placed_) {
        placed_ = true;
        kw27::centreOnScreen(this);
    }
    QWidget::showEvent(event);
}

} // namespace triplay
