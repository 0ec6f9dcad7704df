#include "Unit1.h"

#include "Cp932Input.h"
#include "Fonts.h"
#include "Glyph.h"
#include "KwApplication.h"
#include "KwError.h"
#include "Look.h"
#include "MessageBoxes.h"
#include "NoteTable.h"
#include "SaveFolder.h"
#include "SongBox.h"
#include "SongFile.h"
#include "SongSounds.h"
#include "SoundTable.h"
#include "TuneRender.h"

#include <QLineEdit>

#include <array>
#include <optional>
#include <string_view>

namespace chimelab {

namespace {

// The keys in the note table's order: key i enters kw27::kNotes[i].
std::array<TCuteButton*, 14> pianoKeys(const Ui::CompositionPage& page) {
    return {page.CuteButton2,  page.CuteButton3,  page.CuteButton4,  page.CuteButton5,
            page.CuteButton6,  page.CuteButton7,  page.CuteButton8,  page.CuteButton9,
            page.CuteButton10, page.CuteButton11, page.CuteButton12, page.CuteButton13,
            page.CuteButton14, page.CuteButton15};
}

// Writes a file the pupil named as the song save writes it: through the one whole-file writer,
// the old file kept on any failure, with the song save's warning when the place refuses the
// file (a failure while writing reaches the general error report).
void saveAsTheSongSaveDoes(QWidget* window, const QString& path, std::string_view bytes) {
    if (!kw27::song::saveSongFile(path, bytes))
        kw27::showWarning(window,
                          QStringLiteral("ファイルを保存できません｡保存場所を変更してください"));
}

// The tune's title as a file name: a slash would name a folder instead.
QString offeredTuneName(const QString& title) {
    if (title.isEmpty())
        return QStringLiteral("曲");
    QString name = title;
    return name.replace(u'/', u'_');
}

// Shows the box as it is now: a synchronous sound that follows keeps the window from painting.
void paintNow(QPlainTextEdit& box) {
    box.viewport()->repaint();
}

} // namespace

void TForm1::setUpCompositionPage() {
    Ui::CompositionPage& page = compositionPage;
    const QString gothic = QStringLiteral("ＭＳ ゴシック");
    const QString pGothic = QStringLiteral("ＭＳ Ｐゴシック");

    page.Label9->setFont(kw27::pixelFont(gothic, 16, true));
    kw27::setTextColour(page.Label9, clMaroon);
    page.Label9->adjustSize();

    // Both boxes take only what code page 932 holds, so that the file gets what the pupil sees,
    // and at most kBoxCapacity characters as the file stores them (1 Mi: some 200,000 to
    // 350,000 notes, far beyond a class's tune), the most a song file loads back.
    page.Edit1->setValidator(new kw27::Cp932Validator(page.Edit1));
    page.Edit1->setMaxLength(int(kw27::song::kBoxCapacity));
    page.Memo1->setMaxStoredLength(kw27::song::kBoxCapacity);

    // The group's caption font; the keys inside are given their own below.
    page.GroupBox6->setFont(kw27::pixelFont(pGothic, 16));
    // The classic group box, its caption on the frame's top line; the desktop's style would
    // put it above the frame.
    page.GroupBox6->setStyle(kw27::classicStyle());
    const QFont keyFont = kw27::pixelFont(gothic, 16, true);
    const auto keys = pianoKeys(page);
    for (TCuteButton* key : keys) {
        key->setFont(keyFont);
        kw27::connectHandler(key, &TCuteButton::OnClick, this, &TForm1::CuteButton2Click);
    }
    // The substitute for ＭＳ Ｐゴシック sets "ヤスミ" a few pixels wider than the key's caption
    // area; narrowed, at the same character height, it shows whole.
    TCuteButton* rest = page.CuteButton15;
    QFont restFont = kw27::pixelFont(pGothic, 17, true);
    for (int stretch = 95; stretch >= 75 && QFontMetrics(restFont).horizontalAdvance(
                                                rest->caption()) > rest->captionRect().width();
         stretch -= 5)
        restFont.setStretch(stretch);
    rest->setFont(restFont);

    struct Command {
        QPushButton* button;
        const char* picture;
        int images;
        int size;
        void (TForm1::*handler)(QObject*);
    };
    const Command commands[] = {
        {page.BitBtn2, ":/assets/clef.png", 1, 40, &TForm1::BitBtn2Click},
        {page.BitBtn6, ":/assets/undo.png", 2, 16, &TForm1::BitBtn6Click},
        {page.BitBtn4, ":/assets/clear.png", 2, 16, &TForm1::BitBtn4Click},
        {page.BitBtn3, ":/assets/save.png", 2, 16, &TForm1::BitBtn3Click},
        {page.BitBtn5, ":/assets/load.png", 2, 16, &TForm1::BitBtn5Click},
    };
    for (const Command& command : commands) {
        QPushButton* button = command.button;
        button->setIcon(kw27::glyphIcon(QString::fromLatin1(command.picture), command.images));
        button->setIconSize(QSize(command.size, command.size));
        kw27::connectHandler(button, &QPushButton::clicked, this, command.handler);
    }
    kw27::connectHandler(ui->ExportTune1, &QAction::triggered, this, &TForm1::ExportTune1Click);
}

void TForm1::CuteButton2Click(QObject* Sender) {
    chimelab::playMode = 1;
    const auto keys = pianoKeys(compositionPage);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (Sender != keys[i])
            continue;
        const kw27::Note& note = kw27::kNotes[i];
        kw27::Cp932PlainTextEdit& box = *compositionPage.Memo1;
        if (!kw27::song::appendLine(box, note.name, kw27::song::kBoxCapacity))
            throw EKwError(QStringLiteral("文字列の大きさが ﾒﾓ の制限を越えました"));
        paintNow(box);
        chimelab::playEntry(note.soundEntry, chimelab::playMode);
        return;
    }
}

void TForm1::BitBtn2Click(QObject*) {
    chimelab::playMode = 1;
    kw27::Cp932PlainTextEdit& box = *compositionPage.Memo1;
    kw27::song::putCaretAtStart(box);
    paintNow(box);
    const QStringList lines = kw27::song::songLines(box);
    for (const QString& line : lines)
        chimelab::playEntry(kw27::noteSoundIndex(line), chimelab::playMode);
}

void TForm1::BitBtn6Click(QObject*) {
    kw27::song::removeLastLine(*compositionPage.Memo1);
}

void TForm1::BitBtn4Click(QObject*) {
    compositionPage.Memo1->clear();
    compositionPage.Edit1->clear();
}

void TForm1::BitBtn3Click(QObject*) {
    // The sheet page shows the same dialog with its own settings, so all of ours are set anew.
    QFileDialog* dialog = SaveDialog1();
    dialog->setNameFilter(QStringLiteral("ソングァイル (*.ksg)"));
    dialog->setDefaultSuffix(QStringLiteral("ksg"));
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    if (!StartDir.isEmpty())
        dialog->setDirectory(kw27::saveFolder(StartDir));
    dialog->selectFile(QStringLiteral("ソングデータ"));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    const QString path = dialog->selectedFiles().constFirst();

    const std::string bytes = kw27::song::encodeSongFile(
        compositionPage.Edit1->text(), kw27::song::songText(*compositionPage.Memo1));
    saveAsTheSongSaveDoes(this, path, bytes);
}

void TForm1::ExportTune1Click(QObject*) {
    const QStringList lines = kw27::song::songLines(*compositionPage.Memo1);
    if (lines.isEmpty()) {
        kw27::showWarning(this, QStringLiteral("書き出す曲がありません｡"));
        return;
    }
    const QString title = compositionPage.Edit1->text();
    QFileDialog* dialog = TuneExportDialog();
    if (!StartDir.isEmpty())
        dialog->setDirectory(kw27::saveFolder(StartDir));
    dialog->selectFile(offeredTuneName(title));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    const QString path = dialog->selectedFiles().constFirst();

    // Read from the data folder now, as 再 生 would read it now.
    const std::optional<QByteArray> wav =
        kw27::tune::tuneWavFile(chimelab::songSoundNames(lines), title);
    // Longer than a WAV file holds (some 13 hours): no file can take it.
    if (!wav)
        throw EKwError(QStringLiteral("ｽﾄﾘｰﾑへの書き込みｴﾗｰ"));
    saveAsTheSongSaveDoes(this, path, std::string_view(wav->constData(), std::size_t(wav->size())));
}

void TForm1::BitBtn5Click(QObject*) {
    QFileDialog* dialog = OpenDialog1();
    if (!StartDir.isEmpty())
        dialog->setDirectory(StartDir);
    // A full path takes the dialog to that file's folder, as the platform's dialog does. Until
    // a load has succeeded nothing is offered, not even a name typed for a load that failed;
    // the dialog has no call for that, so its name box is emptied directly.
    if (!lastSongFile_.isEmpty())
        dialog->selectFile(lastSongFile_);
    else if (auto* nameBox = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        nameBox->clear();
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    const QString path = dialog->selectedFiles().constFirst();

    // Read and decoded whole before either box changes, so a failure leaves both as they were.
    const kw27::song::SongFileText text = kw27::song::loadSongFile(path);
    compositionPage.Edit1->setText(text.title);
    kw27::song::setSongText(*compositionPage.Memo1, text.song);
    lastSongFile_ = path;
}

} // namespace chimelab
