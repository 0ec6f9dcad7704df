#include "AlertSound.h"
#include "ChimelabFixture.h"
#include "Cp932Input.h"
#include "NoteTable.h"
#include "QStringPrinting.h"
#include "SongBox.h"
#include "SongFile.h"
#include "SoundTable.h"
#include "WavDecoder.h"
#include "WavFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCompleter>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

using kw27::test::readBytes;
using kw27::test::writeBytes;
using namespace Qt::StringLiterals;
using chimelab::test::StartedWindow;

// Types text one character at a time, as a keyboard with an input method would deliver it.
void typeText(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() ? 2 : 1;
        const QString character = text.mid(i, length);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
        i += length - 1;
    }
}

// Sets an environment variable for the object's lifetime.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QString& value)
        : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), saved_(qgetenv(name)) {
        qputenv(name, QFile::encodeName(value));
    }
    ~ScopedVariable() { wasSet_ ? qputenv(name_, saved_) : qunsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    bool wasSet_;
    QByteArray saved_;
};

// Sound requests, each with the song as it stood when the sound was asked for.
class WatchingPlayer : public kw27::test::RecordingSoundPlayer {
public:
    explicit WatchingPlayer(const QPlainTextEdit& box) : box_(box) {}
    bool play(const QString& name, unsigned flags) override {
        songs.push_back(kw27::song::songText(box_));
        return RecordingSoundPlayer::play(name, flags);
    }
    std::vector<QString> songs;

private:
    const QPlainTextEdit& box_;
};

// The started window on the composition page, its song folder a fresh one.
class CompositionPage : public ::testing::Test {
protected:
    void SetUp() override {
        form.ui->PageControl1->setCurrentWidget(form.ui->TabSheet5);
        form.StartDir = QDir::toNativeSeparators(folder);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        started.sounds.requests.clear(); // the start-up scale
    }

    QString song() const { return kw27::song::songText(*page.Memo1); }
    void setSong(const QString& text) { kw27::song::setSongText(*page.Memo1, text); }
    std::vector<QString> requested() const {
        std::vector<QString> names;
        for (const auto& request : started.sounds.requests)
            names.push_back(request.name);
        return names;
    }
    static std::vector<QString> entries(std::initializer_list<int> numbers) {
        std::vector<QString> names;
        for (int n : numbers)
            names.push_back(chimelab::soundPath(n));
        return names;
    }
    QString path(const QString& name) const { return QDir(folder).filePath(name); }
    QStringList files() const { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }

    // Presses button; once the file dialog it opens is showing, action answers it.
    void pressWithDialog(QAbstractButton* button, QFileDialog* dialog,
                         const std::function<void(QFileDialog&)>& action) {
        openWithDialog([button] { QTest::mouseClick(button, Qt::LeftButton); }, dialog, action);
    }
    // Chooses a menu item; once the file dialog it opens is showing, action answers it.
    void chooseWithDialog(QAction* item, QFileDialog* dialog,
                          const std::function<void(QFileDialog&)>& action) {
        openWithDialog([item] { item->trigger(); }, dialog, action);
    }
    void openWithDialog(const std::function<void()>& open, QFileDialog* dialog,
                        const std::function<void(QFileDialog&)>& action) {
        bool answered = false;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!dialog->isVisible())
                return;
            poll.stop();
            answered = true;
            action(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        poll.start();
        open();
        EXPECT_TRUE(answered) << "the dialog was not shown";
    }

    static void acceptAsOffered(QFileDialog& dialog) {
        QLineEdit* nameBox = dialog.findChild<QLineEdit*>(u"fileNameEdit"_s);
        ASSERT_NE(nameBox, nullptr);
        // The name box's completion list, once the folder has been read, would take the Enter.
        if (QCompleter* completer = nameBox->completer())
            completer->popup()->hide();
        QTest::keyClick(nameBox, Qt::Key_Return);
    }
    // Types name into the dialog's name box and presses Enter, as a pupil would.
    static void typeAndAccept(QFileDialog& dialog, const QString& name) {
        QLineEdit* nameBox = dialog.findChild<QLineEdit*>(u"fileNameEdit"_s);
        ASSERT_NE(nameBox, nullptr);
        // Typed into the focused name box: only then does typing replace the list's selection.
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }));
        nameBox->setFocus();
        ASSERT_TRUE(nameBox->hasFocus());
        nameBox->clear();
        typeText(nameBox, name);
        acceptAsOffered(dialog);
    }
    // The only box shown so far is the warning box with text.
    void expectOnlyWarning(const QString& text) const {
        ASSERT_EQ(started.boxes.boxes.size(), 1u);
        EXPECT_EQ(started.boxes.boxes[0].caption, u"警告"_s);
        EXPECT_EQ(started.boxes.boxes[0].text, text);
        EXPECT_EQ(started.boxes.boxes[0].icon, kw27::MessageIcon::Warning);
    }
    static QString offeredName(QFileDialog& dialog) {
        QLineEdit* nameBox = dialog.findChild<QLineEdit*>(u"fileNameEdit"_s);
        return nameBox ? nameBox->text() : u"<no name box>"_s;
    }

    StartedWindow started;
    chimelab::TForm1& form = *started.form;
    chimelab::Ui::CompositionPage& page = form.compositionPage;
    QString folder = kw27::test::makeFolder(u"songs"_s);
};

TEST_F(CompositionPage, EachKeyAppendsItsNoteThenSoundsItSynchronously) {
    WatchingPlayer player(*page.Memo1);
    const auto keys =
        std::array{page.CuteButton2,  page.CuteButton3,  page.CuteButton4,  page.CuteButton5,
                   page.CuteButton6,  page.CuteButton7,  page.CuteButton8,  page.CuteButton9,
                   page.CuteButton10, page.CuteButton11, page.CuteButton12, page.CuteButton13,
                   page.CuteButton14, page.CuteButton15};
    QString expected;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const kw27::Note& note = kw27::kNotes[i];
        SCOPED_TRACE(note.name.toString().toStdString());
        chimelab::playMode = 0; // as the pipe-length page leaves it
        QTest::mouseClick(keys[i], Qt::LeftButton);
        expected += note.name;
        expected += u"\r\n"_s;
        ASSERT_EQ(player.requests.size(), i + 1);
        EXPECT_EQ(player.requests[i].name, chimelab::soundPath(note.soundEntry));
        EXPECT_EQ(player.requests[i].flags, kw27::SND_SYNC);
        EXPECT_EQ(player.songs[i], expected) << "the note is in the box before it sounds";
        EXPECT_EQ(chimelab::playMode, 1);
    }
    EXPECT_EQ(keys[0]->caption(), keys[7]->caption());

    // Two quick clicks are one double click: one note, one sound.
    TCuteButton* sol = page.CuteButton6;
    QTest::mouseDClick(form.windowHandle(), Qt::LeftButton, {},
                       sol->mapTo(&form, sol->rect().center()));
    EXPECT_EQ(song(), expected + u"ソ\r\n"_s);
    EXPECT_EQ(player.requests.size(), keys.size() + 1);
    EXPECT_EQ(page.Memo1->textCursor().position(), page.Memo1->document()->characterCount() - 1);
}

TEST_F(CompositionPage, PlaySoundsEachLineInTurnAndLeavesTheSongAsItWas) {
    chimelab::playMode = 0;
    QTest::mouseClick(page.BitBtn2, Qt::LeftButton);
    EXPECT_TRUE(requested().empty()) << "an empty song plays nothing";

    const QString typed = u"ド\r\n\r\nミ\r\nﾄﾞ\r\nC\r\nド \r\nヤスミ\r\nド上"_s;
    setSong(typed);
    QTextCursor selection = page.Memo1->textCursor();
    selection.setPosition(3);
    selection.setPosition(6, QTextCursor::KeepAnchor);
    page.Memo1->setTextCursor(selection);
    QTest::mouseClick(page.BitBtn2, Qt::LeftButton);
    EXPECT_EQ(requested(), entries({21, 34, 23, 34, 34, 34, 34, 28}));
    for (const auto& request : started.sounds.requests)
        EXPECT_EQ(request.flags, kw27::SND_SYNC);
    EXPECT_EQ(chimelab::playMode, 1);
    EXPECT_EQ(song(), typed);
    EXPECT_EQ(page.Memo1->textCursor().position(), 0);
    EXPECT_FALSE(page.Memo1->textCursor().hasSelection());
}

TEST_F(CompositionPage, UndoAndClearChangeTheBoxesWithoutASound) {
    setSong(u"ド\r\nレ"_s); // typed, no final line break
    QTest::mouseClick(page.CuteButton4, Qt::LeftButton);
    EXPECT_EQ(song(), u"ド\r\nレ\r\nミ"_s);
    started.sounds.requests.clear();

    QTest::mouseClick(page.BitBtn6, Qt::LeftButton);
    EXPECT_EQ(song(), u"ド\r\nレ\r\n"_s);
    QTest::mouseClick(page.BitBtn6, Qt::LeftButton);
    EXPECT_EQ(song(), u"ド\r\n"_s);

    page.Edit1->setText(u"かえるの歌"_s);
    QTest::mouseClick(page.BitBtn4, Qt::LeftButton);
    EXPECT_EQ(song(), u""_s);
    EXPECT_EQ(page.Edit1->text(), u""_s);
    QTest::mouseClick(page.BitBtn6, Qt::LeftButton);
    QTest::mouseClick(page.BitBtn2, Qt::LeftButton);
    EXPECT_EQ(song(), u""_s);
    EXPECT_TRUE(requested().empty());
    EXPECT_TRUE(started.boxes.boxes.empty());
}

TEST_F(CompositionPage, AKeyThatWouldOverfillTheSongBoxIsReportedAndNotSounded) {
    // One character short of a further "ド" CR LF.
    const QString full = u"ミ\r\n"_s.repeated(kw27::song::kBoxCapacity / 3);
    ASSERT_EQ(kw27::storedLength(full), kw27::song::kBoxCapacity - 1);
    setSong(full);
    QTest::mouseClick(page.CuteButton2, Qt::LeftButton);
    ASSERT_EQ(started.boxes.boxes.size(), 1u);
    EXPECT_EQ(started.boxes.boxes[0].text,
              kw27::errorReportText(u"文字列の大きさが ﾒﾓ の制限を越えました"_s));
    EXPECT_EQ(started.boxes.boxes[0].icon, kw27::MessageIcon::Stop);
    EXPECT_EQ(song(), full);
    EXPECT_TRUE(requested().empty());
}

TEST_F(CompositionPage, SaveOffersSongDataInTheStartFolderEveryTimeAndWritesTheSongBytes) {
    for (TCuteButton* key :
         {page.CuteButton2, page.CuteButton15, page.CuteButton9}) // do, rest, upper do
        QTest::mouseClick(key, Qt::LeftButton);
    QFileDialog* dialog = form.SaveDialog1();
    pressWithDialog(page.BitBtn3, dialog, [&](QFileDialog& shown) {
        EXPECT_EQ(shown.windowTitle(), u"ファイルを保存"_s);
        EXPECT_EQ(shown.nameFilters(), QStringList{u"ソングァイル (*.ksg)"_s});
        EXPECT_EQ(shown.defaultSuffix(), u"ksg"_s);
        EXPECT_TRUE(shown.testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(shown.directory().absolutePath(), folder);
        EXPECT_EQ(offeredName(shown), u"ソングデータ"_s);
        typeAndAccept(shown, u"かえる"_s);
    });
    const std::string keyed = "\r\n\x83\x68\r\n\x83\x84\x83\x58\x83\x7E\r\n\x83\x68\x8F\xE3\r\n";
    ASSERT_EQ(keyed.size(), 20u);
    EXPECT_EQ(readBytes(path(u"かえる.ksg"_s)), keyed);

    // The sheet page shows the same dialog with its own settings in between.
    dialog->setNameFilter(u"仕様書ファイル (*.rtf)"_s);
    dialog->setDefaultSuffix(u"rtf"_s);
    dialog->setDirectory(QDir::rootPath());
    page.Edit1->setText(u"かえるの歌"_s);
    pressWithDialog(page.BitBtn3, dialog, [&](QFileDialog& shown) {
        EXPECT_EQ(shown.nameFilters(), QStringList{u"ソングァイル (*.ksg)"_s});
        EXPECT_EQ(shown.directory().absolutePath(), folder);
        EXPECT_EQ(offeredName(shown), u"ソングデータ"_s);
        acceptAsOffered(shown);
    });
    EXPECT_EQ(readBytes(path(u"ソングデータ.ksg"_s)),
              "\x82\xA9\x82\xA6\x82\xE9\x82\xCC\x89\xCC" + keyed);

    // Replaced without a question; a cancel writes nothing.
    setSong(u"ミ\r\n"_s);
    pressWithDialog(page.BitBtn3, dialog,
                    [&](QFileDialog& shown) { typeAndAccept(shown, u"かえる.ksg"_s); });
    EXPECT_EQ(readBytes(path(u"かえる.ksg"_s)),
              "\x82\xA9\x82\xA6\x82\xE9\x82\xCC\x89\xCC\r\n\x83\x7E\r\n");
    pressWithDialog(page.BitBtn3, dialog, [](QFileDialog& shown) { shown.reject(); });
    EXPECT_EQ(files(), (QStringList{u"かえる.ksg"_s, u"ソングデータ.ksg"_s}));
    EXPECT_TRUE(started.boxes.boxes.empty());
    EXPECT_EQ(page.Edit1->text(), u"かえるの歌"_s);
    EXPECT_EQ(song(), u"ミ\r\n"_s);
}

TEST_F(CompositionPage, SaveIntoAFolderNobodyMayWriteWarnsAndChangesNothing) {
    page.Edit1->setText(u"曲"_s);
    setSong(u"ド\r\n"_s);
    pressWithDialog(page.BitBtn3, form.SaveDialog1(),
                    [](QFileDialog& shown) { typeAndAccept(shown, u"/proc/kw27-song"_s); });
    expectOnlyWarning(u"ファイルを保存できません｡保存場所を変更してください"_s);
    EXPECT_FALSE(QFileInfo::exists(u"/proc/kw27-song.ksg"_s));
    EXPECT_EQ(page.Edit1->text(), u"曲"_s);
    EXPECT_EQ(song(), u"ド\r\n"_s);
}

TEST_F(CompositionPage, SavesStartInTheDocumentsFolderOrHomeWhereTheStartFolderTakesNoFiles) {
    const QString home = kw27::test::makeFolder(u"home"_s);
    const ScopedVariable homeVariable("HOME", home);
    const ScopedVariable configVariable("XDG_CONFIG_HOME", home + u"/.config"_s);
    const QString documents = home + u"/Documents"_s;
    const QString installed = kw27::test::makeFolder(u"installed"_s);
    QFile::setPermissions(installed,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const bool permissionsHold = !QFileInfo(installed).isWritable(); // not so for root
    struct Row {
        QString start;
        bool haveDocuments;
        bool applies;
        QString expected;
    };
    const Row rows[] = {
        {installed, true, permissionsHold, documents},
        {folder + u"/removed"_s, true, true, documents},
        {folder + u"/removed"_s, false, true, home},
    };
    for (const Row& row : rows) {
        if (!row.applies)
            continue;
        SCOPED_TRACE(row.start.toStdString() + (row.haveDocuments ? " with" : " without"));
        QDir(home).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(row.haveDocuments ? documents : home));
        form.StartDir = row.start;
        pressWithDialog(page.BitBtn3, form.SaveDialog1(), [&](QFileDialog& shown) {
            EXPECT_EQ(shown.directory().absolutePath(), row.expected);
            EXPECT_EQ(offeredName(shown), u"ソングデータ"_s);
            acceptAsOffered(shown);
        });
        pressWithDialog(form.sheetPage.BitBtn8, form.SaveDialog1(), [&](QFileDialog& shown) {
            EXPECT_EQ(shown.directory().absolutePath(), row.expected);
            EXPECT_EQ(offeredName(shown), u"仕様書"_s);
            acceptAsOffered(shown);
        });
        EXPECT_EQ(QDir(row.expected).entryList(QDir::Files),
                  (QStringList{u"ソングデータ.ksg"_s, u"仕様書.rtf"_s}));
        EXPECT_TRUE(started.boxes.boxes.empty());
    }
    QFile::setPermissions(installed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(CompositionPage, TheNameBoxsCompletionListGoesWithTheDialogAndStaysAway) {
    QDir(folder).mkdir(u"later"_s);
    for (const char16_t* name : {u"かえる.ksg", u"かもめ.ksg", u"later/かえる.ksg"})
        writeBytes(path(QString::fromUtf16(name)), "\r\n");
    struct Row {
        QString typed;
        bool listShown; // before the dialog goes; else the folder is still being read
    };
    const Row rows[] = {{path(u"か"_s), true}, {path(u"later/か"_s), false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        QAbstractItemView* list = nullptr;
        pressWithDialog(page.BitBtn5, form.OpenDialog1(), [&](QFileDialog& shown) {
            QLineEdit* nameBox = shown.findChild<QLineEdit*>(u"fileNameEdit"_s);
            ASSERT_NE(nameBox, nullptr);
            shown.activateWindow();
            ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &shown; }));
            nameBox->setFocus();
            nameBox->clear();
            list = nameBox->completer()->popup();
            typeText(nameBox, row.typed);
            if (row.listShown) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }));
            }
            shown.reject();
        });
        ASSERT_NE(list, nullptr);
        EXPECT_FALSE(list->isVisible());
        EXPECT_FALSE(QTest::qWaitFor([&] { return list->isVisible(); }, 1000));
    }
}

TEST_F(CompositionPage, LoadFillsBothBoxesAndTheOpenDialogThenOffersThatFile) {
    writeBytes(path(u"曲.ksg"_s), "\x8B\xC8\r\x83\x68\n\x83\x8C\r\n\x83\x7E");
    QFileDialog* dialog = form.OpenDialog1();
    pressWithDialog(page.BitBtn5, dialog, [&](QFileDialog& shown) {
        EXPECT_EQ(shown.windowTitle(), u"ファイルを開く"_s);
        EXPECT_EQ(shown.nameFilters(), QStringList{u"ソングファイル(*.ksg)"_s});
        EXPECT_EQ(shown.defaultSuffix(), u"ksg"_s);
        EXPECT_EQ(shown.directory().absolutePath(), folder);
        EXPECT_EQ(offeredName(shown), u""_s);
        typeAndAccept(shown, u"曲"_s);
    });
    EXPECT_EQ(page.Edit1->text(), u"曲"_s);
    EXPECT_EQ(song(), u"ド\r\nレ\r\nミ"_s);
    EXPECT_TRUE(started.boxes.boxes.empty());

    pressWithDialog(page.BitBtn5, dialog, [&](QFileDialog& shown) {
        EXPECT_EQ(shown.selectedFiles(), QStringList{path(u"曲.ksg"_s)});
        shown.reject();
    });
    EXPECT_EQ(page.Edit1->text(), u"曲"_s);
    EXPECT_EQ(song(), u"ド\r\nレ\r\nミ"_s);
}

TEST_F(CompositionPage, ALoadThatFailsIsReportedAndLeavesBothBoxes) {
    writeBytes(path(u"big.ksg"_s),
               "\r\n" + std::string(std::size_t(kw27::song::kBoxCapacity) + 1, 'S'));
    struct Case {
        const char16_t* typed;
        QString message;
    };
    const Case cases[] = {
        {u"big", u"文字列の大きさが ﾒﾓ の制限を越えました"_s},
        {u"無い", u"ﾌｧｲﾙ "_s + path(u"無い.ksg"_s) + u" は開けません"_s},
    };
    page.Edit1->setText(u"前の曲"_s);
    setSong(u"ソ\r\n"_s);
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.typed).toStdString());
        started.boxes.boxes.clear();
        pressWithDialog(page.BitBtn5, form.OpenDialog1(), [&](QFileDialog& shown) {
            typeAndAccept(shown, QString::fromUtf16(c.typed));
        });
        ASSERT_EQ(started.boxes.boxes.size(), 1u);
        EXPECT_EQ(started.boxes.boxes[0].text.toStdString(),
                  kw27::errorReportText(c.message).toStdString());
        EXPECT_EQ(started.boxes.boxes[0].icon, kw27::MessageIcon::Stop);
        EXPECT_EQ(page.Edit1->text(), u"前の曲"_s);
        EXPECT_EQ(song(), u"ソ\r\n"_s);
    }
    // Only a load that succeeded is offered again.
    pressWithDialog(page.BitBtn5, form.OpenDialog1(), [&](QFileDialog& shown) {
        EXPECT_EQ(shown.directory().absolutePath(), folder);
        EXPECT_EQ(offeredName(shown), u""_s);
        shown.reject();
    });
}

TEST_F(CompositionPage, TitleAndSongBoxesRefuseWhatCodePage932CannotHold) {
    for (QWidget* box : std::initializer_list<QWidget*>{page.Edit1, page.Memo1}) {
        box->setFocus();
        typeText(box, u"ド\u00E9\u20AC\U0001F3B5ミ"_s);
    }
    EXPECT_EQ(page.Edit1->text(), u"ドミ"_s);
    EXPECT_EQ(song(), u"ドミ"_s);
    EXPECT_GE(page.Edit1->maxLength(), kw27::song::kBoxCapacity);
}

TEST_F(CompositionPage, SharpKeysLieInFrontAndTabGoesKeysTitlePanelSong) {
    // The upper part of a natural key is covered by the sharp keys next to it.
    for (TCuteButton* sharp : {page.CuteButton10, page.CuteButton11, page.CuteButton12,
                               page.CuteButton13, page.CuteButton14})
        EXPECT_EQ(page.GroupBox6->childAt(sharp->geometry().center()), sharp);
    EXPECT_EQ(page.GroupBox6->childAt(page.CuteButton2->geometry().center() + QPoint(0, 50)),
              page.CuteButton2);

    const std::vector<QWidget*> order{page.CuteButton2,  page.CuteButton3,  page.CuteButton4,
                                      page.CuteButton5,  page.CuteButton6,  page.CuteButton7,
                                      page.CuteButton8,  page.CuteButton9,  page.CuteButton10,
                                      page.CuteButton11, page.CuteButton12, page.CuteButton13,
                                      page.CuteButton14, page.CuteButton15, page.Edit1,
                                      page.BitBtn2,      page.BitBtn3,      page.BitBtn4,
                                      page.BitBtn5,      page.BitBtn6,      page.Memo1};
    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        QWidget* next = order[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        EXPECT_EQ(next, order[i + 1]) << order[i]->objectName().toStdString();
    }
    // Tab in the song box moves on, as in the page's other controls, instead of typing a tab.
    QTest::keyClick(page.Memo1, Qt::Key_Tab);
    EXPECT_EQ(song(), u""_s);

    for (QPushButton* button :
         {page.BitBtn2, page.BitBtn3, page.BitBtn4, page.BitBtn5, page.BitBtn6})
        EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
    const TCuteButton* rest = page.CuteButton15;
    EXPECT_LE(rest->fontMetrics().horizontalAdvance(rest->caption()), rest->captionRect().width());
}

// The export reads its sounds through the data folder of the moment: C.wav and D.wav are known
// noise; E.wav is missing and sounds the player's alert, as in 再 生.
class TuneExport : public CompositionPage {
protected:
    void SetUp() override {
        CompositionPage::SetUp();
        kw27::test::writeFile("Data/Data2/C.wav", kw27::test::wav16(1, 44100, c));
        kw27::test::writeFile("Data/Data2/D.wav", kw27::test::wav16(1, 44100, d));
    }
    // The tune ド, ミ, x, レ as the file holds it: ミ's file and the rest's (which x plays) are
    // missing here, so each sounds the alert.
    std::vector<std::int16_t> expectedSamples() const {
        std::vector<std::int16_t> out = c;
        const std::vector<std::int16_t> alert = kw27::makeAlertSound().samples;
        for (const auto* part : {&alert, &alert, &d})
            out.insert(out.end(), part->begin(), part->end());
        return out;
    }
    static kw27::PcmSound decodedFile(const QString& file) {
        kw27::PcmSound sound;
        EXPECT_EQ(kw27::decodeWavFile(QFile::encodeName(file).toStdString(), sound),
                  kw27::WavStatus::Ok);
        return sound;
    }
    QAction* item() const { return form.ui->ExportTune1; }
    const std::vector<std::int16_t> c = kw27::test::noise16(700, 21);
    const std::vector<std::int16_t> d = kw27::test::noise16(300, 22);
};

TEST_F(TuneExport, TheItemFollowsThePipeWorkshopInTheMenuBetweenFileAndHelp) {
    const QList<QAction*> menus = form.ui->MainMenu1->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0], form.ui->File1->menuAction());
    EXPECT_EQ(menus[1], form.ui->Workshop1->menuAction());
    EXPECT_EQ(menus[2], form.ui->Help1->menuAction());
    EXPECT_EQ(form.ui->Workshop1->title(), u"工作(&K)"_s);
    const QList<QAction*> items{form.ui->PipeWorkshop1, item()};
    EXPECT_EQ(form.ui->Workshop1->actions(), items);
    EXPECT_EQ(item()->text(), u"曲を音声ファイルに書き出す(&W)..."_s);
}

TEST_F(TuneExport, TheDialogOffersTheTitleInTheSongSaveFolderAndWritesThePlayedSounds) {
    page.Edit1->setText(u"かえるの歌"_s);
    setSong(u"ド\r\nミ\r\nx\r\nレ\r\n"_s);
    QFileDialog* dialog = form.TuneExportDialog();
    chooseWithDialog(item(), dialog, [&](QFileDialog& shown) {
        EXPECT_EQ(shown.windowTitle(), u"曲を書き出す"_s);
        EXPECT_EQ(shown.nameFilters(), QStringList{u"WAVファイル (*.wav)"_s});
        EXPECT_EQ(shown.defaultSuffix(), u"wav"_s);
        EXPECT_EQ(shown.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(shown.directory().absolutePath(), folder);
        EXPECT_EQ(offeredName(shown), u"かえるの歌"_s);
        acceptAsOffered(shown);
    });
    const QString file = path(u"かえるの歌.wav"_s);
    const kw27::PcmSound sound = decodedFile(file);
    EXPECT_EQ(sound.sampleRate, 44100);
    EXPECT_EQ(sound.samples, expectedSamples());
    EXPECT_NE(readBytes(file).find("INAM"), std::string::npos);
    // Nothing is played, and the song and its title stay.
    EXPECT_TRUE(started.sounds.requests.empty());
    EXPECT_TRUE(started.boxes.boxes.empty());
    EXPECT_EQ(song(), u"ド\r\nミ\r\nx\r\nレ\r\n"_s);
    EXPECT_EQ(page.Edit1->text(), u"かえるの歌"_s);

    // No title: "曲", and a slash in a title does not name a folder. A name typed without an
    // extension gets one; a cancel writes nothing.
    struct Row {
        QString title;
        QString offered;
    };
    for (const Row& row : {Row{QString(), u"曲"_s}, Row{u"A/B"_s, u"A_B"_s}}) {
        page.Edit1->setText(row.title);
        chooseWithDialog(item(), dialog, [&](QFileDialog& shown) {
            EXPECT_EQ(offeredName(shown), row.offered);
            EXPECT_EQ(shown.directory().absolutePath(), folder);
            acceptAsOffered(shown);
        });
        EXPECT_EQ(decodedFile(path(row.offered + u".wav"_s)).samples, expectedSamples());
    }
    EXPECT_EQ(readBytes(path(u"曲.wav"_s)).find("LIST"), std::string::npos);
    chooseWithDialog(item(), dialog, [&](QFileDialog& shown) { typeAndAccept(shown, u"家で"_s); });
    EXPECT_EQ(decodedFile(path(u"家で.wav"_s)).samples, expectedSamples());
    chooseWithDialog(item(), dialog, [](QFileDialog& shown) { shown.reject(); });
    EXPECT_EQ(files(),
              (QStringList{u"A_B.wav"_s, u"かえるの歌.wav"_s, u"家で.wav"_s, u"曲.wav"_s}));
}

TEST_F(TuneExport, AnEmptySongIsReportedWithoutADialog) {
    page.Edit1->setText(u"Export"_s);
    bool shown = false;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (form.TuneExportDialog()->isVisible()) {
            shown = true;
            form.TuneExportDialog()->reject();
        }
    });
    watch.start();
    item()->trigger();
    QTest::qWait(50);
    EXPECT_FALSE(shown);
    expectOnlyWarning(u"書き出す曲がありません｡"_s);
    EXPECT_TRUE(files().isEmpty());
}

// The song save's messages: the place message when the file cannot be made there, the disk
// error when writing fails part way, and the earlier file whole either way.
TEST_F(TuneExport, FailuresGiveTheSongSavesMessagesAndKeepTheEarlierFile) {
    setSong(u"ド\r\nレ\r\n"_s);
    // A folder that is not there (a dialog left in /proc reads files there that never end).
    const QString nowhere = path(u"gone/kw27-tune"_s);
    chooseWithDialog(item(), form.TuneExportDialog(),
                     [&](QFileDialog& shown) { typeAndAccept(shown, nowhere); });
    expectOnlyWarning(u"ファイルを保存できません｡保存場所を変更してください"_s);
    EXPECT_FALSE(QFileInfo::exists(nowhere + u".wav"_s));

    const QString file = path(u"曲.wav"_s);
    writeBytes(file, "earlier tune");
    {
        const kw27::test::FileSizeLimit limit(64);
        chooseWithDialog(item(), form.TuneExportDialog(), [](QFileDialog& shown) {
            shown.setOption(QFileDialog::DontConfirmOverwrite);
            acceptAsOffered(shown);
        });
    }
    form.TuneExportDialog()->setOption(QFileDialog::DontConfirmOverwrite, false);
    ASSERT_EQ(started.boxes.boxes.size(), 2u);
    EXPECT_EQ(started.boxes.boxes[1].text, kw27::errorReportText(u"ｽﾄﾘｰﾑへの書き込みｴﾗｰ"_s));
    EXPECT_EQ(started.boxes.boxes[1].icon, kw27::MessageIcon::Stop);
    EXPECT_EQ(readBytes(file), "earlier tune");
    EXPECT_EQ(files(), QStringList{u"曲.wav"_s});
}

} // namespace
