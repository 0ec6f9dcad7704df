#include "PipeWorkshopWindow.h"

#include "Chord.h"
#include "Cutting.h"
#include "DialogCompletion.h"
#include "Fonts.h"
#include "KwApplication.h"
#include "Lengths.h"
#include "Look.h"
#include "MessageBoxes.h"
#include "PipeFacts.h"
#include "PipePhysics.h"
#include "PlanPainter.h"
#include "PrintService.h"
#include "SheetFile.h"
#include "WorkshopSound.h"

#include <QFileDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace chimelab {

using namespace kw27::workshop;

namespace {

const QString gothic = QStringLiteral("ＭＳ ゴシック");

// The saw's width as the field shows it: "2", "1.5".
QString kerfText(int tenthsMm) {
    return tenthsMm % 10 == 0 ? QString::number(tenthsMm / 10) : mmText(tenthsMm);
}

// ド, ミ, ソ of the scale pipes.
constexpr std::array<int, 3> doMiSo = {1860, 1650, 1530};

} // namespace

std::array<int, 3> workshopStartLengths(const std::array<int, 3>& chooserPositions) {
    std::array<int, 3> lengths = doMiSo;
    for (std::size_t i = 0; i < 3; ++i)
        if (chooserPositions[i] != kw27::NoPipe)
            // Ten-thousandths of a centimetre to tenths of a millimetre.
            lengths[i] = int(Length.ofPosition(chooserPositions[i]).tenThousandths() / 100);
    return lengths;
}

PipeWorkshopWindow::PipeWorkshopWindow(const PlanInput& start, const QString& saveFolder,
                                       QWidget* parent, OutputMaker makeOutput)
    : QDialog(parent), input_(start), saveFolder_(saveFolder), makeOutput_(std::move(makeOutput)) {
    kw27::setWindowLook(this);
    ui.setupUi(this);
    setFixedSize(size());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setUpLook();

    QLineEdit* fields[] = {ui.lengthEdit1, ui.lengthEdit2, ui.lengthEdit3, ui.kerfEdit};
    for (int i = 0; i < 3; ++i)
        fields[i]->setText(cmText(input_.lengthsTenthsMm[std::size_t(i)]));
    ui.kerfEdit->setText(kerfText(input_.kerfTenthsMm));
    for (QLineEdit* field : fields) {
        kw27::connectHandler(field, &QLineEdit::textEdited, this,
                             &PipeWorkshopWindow::lengthEditEdited);
        kw27::connectHandler(field, &QLineEdit::editingFinished, this,
                             &PipeWorkshopWindow::lengthEditFinished);
    }
    for (QPushButton* b : {ui.playButton1, ui.playButton2, ui.playButton3})
        kw27::connectHandler(b, &QPushButton::clicked, this, &PipeWorkshopWindow::playButtonClick);
    kw27::connectHandler(ui.playAllButton, &QPushButton::clicked, this,
                         &PipeWorkshopWindow::playAllButtonClick);
    kw27::connectHandler(ui.stopButton, &QPushButton::clicked, this,
                         &PipeWorkshopWindow::stopButtonClick);
    kw27::connectHandler(ui.printButton, &QPushButton::clicked, this,
                         &PipeWorkshopWindow::printButtonClick);
    kw27::connectHandler(ui.saveButton, &QPushButton::clicked, this,
                         &PipeWorkshopWindow::saveButtonClick);
    kw27::connectHandler(ui.closeButton, &QPushButton::clicked, this,
                         &PipeWorkshopWindow::closeButtonClick);

    for (int i = 0; i < 3; ++i)
        showPipe(i);
    showTogether();
}

PipeWorkshopWindow::~PipeWorkshopWindow() {
    // The dialog's own destructor hides it, which takes the focus from a field and finishes
    // its editing: by then this window is gone, so its handlers must not hear of it.
    for (QLineEdit* field : {ui.lengthEdit1, ui.lengthEdit2, ui.lengthEdit3, ui.kerfEdit})
        field->disconnect(this);
    // The player's sources go before the output that owns their device.
    player_.reset();
    output_.reset();
}

void PipeWorkshopWindow::setUpLook() {
    for (QLabel* label : findChildren<QLabel*>())
        label->setFont(kw27::pixelFont(gothic, 14));
    for (QLabel* label : {ui.pipeLabel1, ui.pipeLabel2, ui.pipeLabel3}) {
        label->setFont(kw27::pixelFont(gothic, 14, true));
        kw27::setTextColour(label, clBlue);
    }
    for (QLabel* label : {ui.shortageLabel1, ui.shortageLabel2, ui.leftLabel}) {
        label->setFont(kw27::pixelFont(gothic, 19, true));
    }
    for (QLabel* label : {ui.shortageLabel1, ui.shortageLabel2, ui.hintLabel})
        kw27::setTextColour(label, clRed);
    ui.chordLabel->setFont(kw27::pixelFont(gothic, 16, true));
    kw27::setTextColour(ui.chordLabel, clNavy);
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setFont(kw27::pixelFont(gothic, 12));
}

void PipeWorkshopWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ui.lengthEdit1->setFocus(Qt::OtherFocusReason);
}

void PipeWorkshopWindow::done(int result) {
    // Closing silences the pipes: nothing rings on behind a closed window.
    if (player_)
        player_->stop();
    QDialog::done(result);
}

void PipeWorkshopWindow::showPipe(int index) {
    const PipeFacts f = pipeFacts(input_.lengthsTenthsMm[std::size_t(index)]);
    QLabel* const hz[] = {ui.hzLabel1, ui.hzLabel2, ui.hzLabel3};
    QLabel* const note[] = {ui.noteLabel1, ui.noteLabel2, ui.noteLabel3};
    QLabel* const cents[] = {ui.centsLabel1, ui.centsLabel2, ui.centsLabel3};
    QLabel* const hole[] = {ui.holeLabel1, ui.holeLabel2, ui.holeLabel3};
    QLabel* const file[] = {ui.fileLabel1, ui.fileLabel2, ui.fileLabel3};
    hz[index]->setText(QStringLiteral("%1 Hz").arg(QString::number(f.hz, 'f', 0)));
    note[index]->setText(QStringLiteral("%1 (%2)").arg(f.note.name, f.note.letterName));
    cents[index]->setText(QStringLiteral("%1 セント%2")
                              .arg(centsText(f.note.cents),
                                   f.note.inTune() ? QStringLiteral(" 合っています") : QString()));
    hole[index]->setText(QStringLiteral("%1 mm").arg(measureText(f.holeMm)));
    file[index]->setText(f.fileOffMm >= 0.05 ? QStringLiteral("%1 mm").arg(measureText(f.fileOffMm))
                                             : QString());
}

void PipeWorkshopWindow::showTogether() {
    std::array<int, 3> midi{};
    for (std::size_t i = 0; i < 3; ++i)
        midi[i] = pipeFacts(input_.lengthsTenthsMm[i]).note.midi;
    ui.chordLabel->setText(QStringLiteral("和音：%1").arg(chordText(chordOf(midi))));

    const Cutting cut = cutting(input_.lengthsTenthsMm, input_.kerfTenthsMm);
    ui.materialLabel->setText(
        QStringLiteral("長さの合計 %1 mm ＋ 切りしろ 3か所 %2 mm ＝ %3 mm（材料 %4 mm）")
            .arg(mmText(cut.piecesTenthsMm), mmText(cut.cutsTenthsMm), mmText(cut.usedTenthsMm),
                 mmText(tubeTenthsMm)));
    ui.leftLabel->setText(QStringLiteral("残り %1 mm").arg(mmText(cut.leftTenthsMm)));
    ui.leftLabel->setVisible(cut.fits());
    ui.shortageLabel1->setVisible(!cut.fits());
    ui.shortageLabel2->setVisible(!cut.fits());
}

int PipeWorkshopWindow::fieldOf(QObject* Sender) const {
    if (Sender == ui.lengthEdit1)
        return 0;
    if (Sender == ui.lengthEdit2)
        return 1;
    if (Sender == ui.lengthEdit3)
        return 2;
    return 3;
}

// A field is taken as it is typed, when what it holds is a length; a part-typed number ("1" of
// "17.0") changes nothing. When editing ends, what is not a length is refused: the field goes
// back to the value last taken.
void PipeWorkshopWindow::takeField(int field, bool refuse) {
    QLineEdit* const edits[] = {ui.lengthEdit1, ui.lengthEdit2, ui.lengthEdit3, ui.kerfEdit};
    QLineEdit* edit = edits[field];
    const std::optional<int> value =
        field < 3 ? parsePipeLength(edit->text()) : parseKerf(edit->text());
    if (value) {
        if (field < 3) {
            input_.lengthsTenthsMm[std::size_t(field)] = *value;
            showPipe(field);
        } else {
            input_.kerfTenthsMm = *value;
        }
        showTogether();
        ui.hintLabel->clear();
        if (refuse)
            edit->setText(field < 3 ? cmText(*value) : kerfText(*value));
        return;
    }
    if (!refuse)
        return;
    if (field < 3) {
        edit->setText(cmText(input_.lengthsTenthsMm[std::size_t(field)]));
        ui.hintLabel->setText(QStringLiteral("長さは 10.0〜27.0 cm の数で入れてください"));
    } else {
        edit->setText(kerfText(input_.kerfTenthsMm));
        ui.hintLabel->setText(QStringLiteral("切りしろは 0〜5 mm の数で入れてください"));
    }
}

void PipeWorkshopWindow::lengthEditEdited(QObject* Sender) {
    takeField(fieldOf(Sender), false);
}

void PipeWorkshopWindow::lengthEditFinished(QObject* Sender) {
    takeField(fieldOf(Sender), true);
}

void PipeWorkshopWindow::ensurePlayer() {
    if (player_)
        return;
    output_ = makeOutput_ ? makeOutput_() : std::make_unique<kw27::SystemAudioOutput>();
    player_ = std::make_unique<kw27::BufferPlayer>(*output_);
}

void PipeWorkshopWindow::playButtonClick(QObject* Sender) {
    ensurePlayer();
    const int i = Sender == ui.playButton1 ? 0 : Sender == ui.playButton2 ? 1 : 2;
    player_->play(workshopSound(input_.lengthsTenthsMm[std::size_t(i)]),
                  int(kw27::pipe::sampleRate));
}

void PipeWorkshopWindow::playAllButtonClick(QObject*) {
    ensurePlayer();
    std::vector<kw27::BufferPlayer::Samples> sounds;
    for (int length : input_.lengthsTenthsMm)
        sounds.push_back(workshopSound(length));
    player_->play(sounds, int(kw27::pipe::sampleRate));
}

void PipeWorkshopWindow::stopButtonClick(QObject*) {
    if (player_)
        player_->stop();
}

QFileDialog* PipeWorkshopWindow::saveDialog() {
    if (!saveDialog_) {
        saveDialog_ = new QFileDialog(this, QStringLiteral("ファイルを保存"));
        saveDialog_->setObjectName(QStringLiteral("planSaveDialog"));
        saveDialog_->setAcceptMode(QFileDialog::AcceptSave);
        kw27::closeCompletionWithDialog(saveDialog_);
    }
    return saveDialog_;
}

QPrintDialog* PipeWorkshopWindow::printDialog() {
    if (!printDialog_)
        printDialog_ = kw27::makePrintDialog(printer_, this, QStringLiteral("planPrintDialog"));
    return printDialog_;
}

void PipeWorkshopWindow::printButtonClick(QObject*) {
    const QString noPrinter = QStringLiteral("印刷が出来ません｡プリンタを確認してください｡");
    // Without a printer the dialog would offer nothing but a PDF file: the save button does that.
    if (!kw27::printerInstalled()) {
        kw27::showWarning(this, noPrinter);
        return;
    }
    QPrintDialog* dialog = printDialog();
    dialog->setOptions(QAbstractPrintDialog::PrintToFile |
                       QAbstractPrintDialog::PrintCollateCopies);
    if (dialog->exec() != QDialog::Accepted)
        return;
    QPrinter& printer = *dialog->printer();
    // Measured from the paper's corner, so that the pipes come out at full size.
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    printer.setDocName(QStringLiteral("工作図"));
    QPainter painter;
    if (!painter.begin(&printer)) {
        kw27::showWarning(this, noPrinter);
        return;
    }
    paintPlan(makePlan(input_), painter, printer.resolution() / 25.4);
    if (!painter.end())
        kw27::showWarning(this, noPrinter);
}

void PipeWorkshopWindow::saveButtonClick(QObject*) {
    QFileDialog* dialog = saveDialog();
    dialog->setNameFilter(QStringLiteral("工作図ファイル (*.pdf)"));
    if (!saveFolder_.isEmpty())
        dialog->setDirectory(saveFolder_);
    dialog->selectFile(QStringLiteral("工作図.pdf"));
    dialog->setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog->exec() != QDialog::Accepted)
        return;
    try {
        kw27::writeSheetFile(dialog->selectedFiles().value(0),
                             planPdf(makePlan(input_), QStringLiteral("工作図")));
    } catch (const kw27::ESheetSaveError&) {
        kw27::showWarning(this, QStringLiteral("ファイルが保存できません｡"));
    }
}

void PipeWorkshopWindow::closeButtonClick(QObject*) {
    close();
}

} // namespace chimelab
