#include "Unit1.h"

#include "AccessibleNames.h"
#include "DialogCompletion.h"
#include "Fonts.h"
#include "Glyph.h"
#include "KwApplication.h"
#include "KwError.h"
#include "Look.h"
#include "MessageBoxes.h"
#include "PrintService.h"
#include "Splash.h"
#include "TColor.h"
#include "WavPlayer.h"

#include <QDir>
#include <QLayout>
#include <QShowEvent>
#include <array>
#include <memory>

namespace chimelab {

namespace {

// The start-up scale, C up to high C.
const std::array<const char*, 8> scale{{
    "Data\\Data2\\C.wav",
    "Data\\Data2\\D.wav",
    "Data\\Data2\\E.wav",
    "Data\\Data2\\F.wav",
    "Data\\Data2\\G.wav",
    "Data\\Data2\\A.wav",
    "Data\\Data2\\B.wav",
    "Data\\Data2\\C2.wav",
}};

// The clips in their order, up to the first that cannot be opened.
struct OpenedClips {
    std::vector<kw27::StoredAviClip> clips;
    bool complete = false;
};

OpenedClips openClips() {
    OpenedClips opened;
    try {
        for (const QString& clip : pitchClipNames())
            opened.clips.push_back(TAnimate::openClip(clip));
        opened.complete = true;
    } catch (const EKwError&) {
    }
    return opened;
}

// The file dialogs are made on first use, under the names the window gives them.
QFileDialog* songFileDialog(QWidget* parent, const QString& caption, const QString& name,
                            QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(parent, caption);
    dialog->setObjectName(name);
    dialog->setAcceptMode(mode);
    kw27::closeCompletionWithDialog(dialog);
    return dialog;
}

constexpr int clientWidth = 601;
constexpr int clientHeight = 398;

} // namespace

QString sheetDateText(const QDate& date) {
    return QStringLiteral("%1年 %2月 %3日")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month())
        .arg(date.day());
}

TForm1::TForm1(Clock today, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TForm1>()), today_(std::move(today)) {
    kw27::setWindowLook(this);

    // Start-up builds the window behind the splash, so that the splash comes up first. An error
    // that it does not expect is reported, and the window is made all the same.
    kw27::runHandler([this] { FormCreate(this); });
    buildWindow({});
}

void TForm1::buildWindow(const std::vector<kw27::StoredAviClip>& clips) {
    if (built_)
        return;
    built_ = true;
    ui->setupUi(this);

    lengthPage.setupUi(ui->TabSheet1);
    pitchPage.setupUi(ui->TabSheet2);
    sheetPage.setupUi(ui->TabSheet4);
    setUpLengthPage();
    setUpPitchPage();
    compositionPage.setupUi(ui->TabSheet5);
    setUpCompositionPage();
    setUpSheetPage();
    simulationPage.setupUi(ui->TabSheet3);
    setUpSimulationPage();
    kw27::connectHandler(ui->PipeWorkshop1, &QAction::triggered, this, &TForm1::PipeWorkshop1Click);

    ui->BitBtn9->setFont(kw27::pixelFont(QStringLiteral("ＭＳ ゴシック"), 16, true));
    kw27::setTextColour(ui->BitBtn9, clRed, QPalette::ButtonText);
    ui->BitBtn9->setIcon(kw27::glyphIcon(QStringLiteral(":/assets/door.png"), 2));
    kw27::connectHandler(ui->BitBtn9, &QPushButton::clicked, this, &TForm1::Exit1Click);
    kw27::connectHandler(ui->Exit1, &QAction::triggered, this, &TForm1::Exit1Click);

    // Fixed size, no maximising: the layouts are drawn to these pixels. The window's height
    // follows the menu bar's, known once the window is polished.
    ui->ClientArea->setFixedSize(clientWidth, clientHeight);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    kw27::nameControls(this);

    givePitchClips(clips);
}

TForm1::~TForm1() {
    // The printer dialog goes before the printer it was made for.
    delete printerSetupDialog_;
}

QFileDialog* TForm1::OpenDialog1() {
    if (!openDialog_) {
        openDialog_ = songFileDialog(this, QStringLiteral("ファイルを開く"),
                                     QStringLiteral("OpenDialog1"), QFileDialog::AcceptOpen);
        openDialog_->setNameFilter(QStringLiteral("ソングファイル(*.ksg)"));
        openDialog_->setDefaultSuffix(QStringLiteral("ksg"));
    }
    return openDialog_;
}

QFileDialog* TForm1::SaveDialog1() {
    if (!saveDialog_)
        saveDialog_ = songFileDialog(this, QStringLiteral("ファイルを保存"),
                                     QStringLiteral("SaveDialog1"), QFileDialog::AcceptSave);
    return saveDialog_;
}

QFileDialog* TForm1::TuneExportDialog() {
    if (!tuneExportDialog_) {
        tuneExportDialog_ =
            songFileDialog(this, QStringLiteral("曲を書き出す"), QStringLiteral("TuneExportDialog"),
                           QFileDialog::AcceptSave);
        tuneExportDialog_->setNameFilter(QStringLiteral("WAVファイル (*.wav)"));
        tuneExportDialog_->setDefaultSuffix(QStringLiteral("wav"));
    }
    return tuneExportDialog_;
}

QPrintDialog* TForm1::PrinterSetupDialog1() {
    if (!printerSetupDialog_)
        printerSetupDialog_ =
            kw27::makePrintDialog(printer_, this, QStringLiteral("PrinterSetupDialog1"));
    return printerSetupDialog_;
}

void TForm1::FormCreate(QObject*) {
    // The clips are checked before anything else, so that a missing or damaged one is reported
    // before any splash shows, and the players before it keep theirs. Only their layout is read
    // here; the frames are read and decoded behind the splash.
    const OpenedClips opened = openClips();
    if (!opened.complete) {
        buildWindow(opened.clips);
        kw27::showWarning(
            this, QStringLiteral("アニメーションファイルがありません。ファイルを確認してください"));
        return;
    }

    Form2 = new TForm2();
    Form2->show();
    Form2->paintAtOnce();

    // Nothing is repainted before the scale has ended, so the window is built while the splash
    // covers it.
    buildWindow(opened.clips);
    sheetPage.Edit5->setText(sheetDateText(today_()));

    for (const char* note : scale)
        kw27::sndPlaySound(QString::fromLatin1(note), kw27::SND_SYNC);

    // Destroyed once the event loop runs, so the splash stays up until the main window shows.
    Form2->deleteLater();

    StartDir = QDir::toNativeSeparators(QDir::currentPath());
}

void TForm1::showEvent(QShowEvent* event) {
    // Centred when first shown, with its final size.
    if (!event->spontaneous() && !placed_) {
        placed_ = true;
        kw27::centreOnScreen(this);
    }
    QMainWindow::showEvent(event);
}

void TForm1::Exit1Click(QObject*) {
    close();
}

} // namespace chimelab
