#pragma once

// Chimelab's main window.
//
// The frame (this header, Unit1.ui, Unit1.cpp) holds the menu bar, the five tab pages and the
// quit button, and runs start-up in FormCreate. Each page's controls come from a form of its own
// laid onto its tab page, and its handlers are members of this class written in a source file of
// their own:
//
//   tab page   form                 handlers              the page
//   TabSheet1  LengthPage.ui        Unit1Length.cpp       pipe length: twelve dots on a pipe
//   TabSheet2  PitchPage.ui         Unit1Pitch.cpp        pitch: the eight scale pipes, with clips
//   TabSheet3  SimulationPage.ui    Unit1Simulation.cpp   starts Triplay; the Help menu's manual
//   TabSheet4  SheetPage.ui         Unit1Sheet.cpp        仕様書, the design sheet: print and save
//   TabSheet5  CompositionPage.ui   Unit1Composition.cpp  composing: keyboard, song box, song file
//
// Handlers take the control that raised the event, so one handler can serve several controls
// and tell them apart by comparing it with each in table order; signals reach them through
// kw27::connectHandler, so that an error a handler does not catch goes to the general error
// report. The logic that needs no widget lives beside them (SoundTable, NoteTable, SongText,
// SongFile, SheetBuilder, RtfWriter, ...).
//
// The controls keep the names the programs are known by:
//
//   frame        BitBtn9 quit button (Exit1Click); Exit1 File menu's quit; HowToUse1 Help menu's
//                manual (HowToUse1Click); Workshop1 the menu 工作: PipeWorkshop1 the pipe workshop
//                (PipeWorkshop1Click), ExportTune1 the song as a WAV file (ExportTune1Click);
//                PageControl1 the tabs; TabSheet1-5 the pages
//   pipe length  Panel1 picture panel; Image1 the pipe; SpeedButton1-12 the dots, 14 to 25 cm
//                (SpeedButton1Click); Label5 the length played; Label4, Label6 around it;
//                Label12-14, Label1-3 instruction and scale texts; Shape1-3 the scale marks
//   pitch        Panel2; Animate1-8 the clip players, do to upper do; CuteButton16-23 the pitch
//                buttons under them (CuteButton16Click)
//   simulation   Panel3 with the text lines Label7, 8, 10, 11, 15; Image2 the chime picture;
//                BitBtn1 starts the simulator (BitBtn1Click)
//   sheet        Panel5; Edit5 date, Edit2 school, Edit3 class, Edit4 name, Memo2 remarks;
//                ComboBox1-3 the three pipes (ComboBox1Change); Label27 their total length;
//                BitBtn7 print (BitBtn7Click), BitBtn8 save (BitBtn8Click); RichEdit1 the sheet
//                as printed and saved (0 pixels high, never seen); Label16-26 the field labels
//   composition  Edit1 song title; Memo1 song box; GroupBox6 the pipe keyboard: CuteButton2-9
//                natural keys do to upper do, CuteButton10-14 sharps, CuteButton15 rest (all
//                CuteButton2Click); Panel4 the commands: BitBtn2 play (BitBtn2Click), BitBtn6
//                undo the last note (BitBtn6Click), BitBtn4 clear (BitBtn4Click), BitBtn3 save
//                the song (BitBtn3Click), BitBtn5 load a song (BitBtn5Click)

#include "ui_CompositionPage.h"
#include "ui_LengthPage.h"
#include "ui_PitchPage.h"
#include "ui_SheetPage.h"
#include "ui_SimulationPage.h"
#include "ui_Unit1.h"

#include <QDate>
#include <QFileDialog>
#include <QMainWindow>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <functional>
#include <memory>
#include <vector>

class TForm2;

namespace chimelab {

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    using Clock = std::function<QDate()>;

    // today gives the date that start-up writes into the sheet page.
    explicit TForm1(Clock today = &QDate::currentDate, QWidget* parent = nullptr);
    ~TForm1() override;

    std::unique_ptr<Ui::TForm1> ui;
    Ui::LengthPage lengthPage;
    Ui::PitchPage pitchPage;
    Ui::SheetPage sheetPage;
    Ui::CompositionPage compositionPage;

    // Dialogs held by the window for the pages that show them. Each is made the first time
    // it is asked for: together they would take longer to build than the rest of the window.
    QFileDialog* OpenDialog1();
    QFileDialog* SaveDialog1();
    QPrintDialog* PrinterSetupDialog1();
    // The menu 工作's export of the tune as a WAV file: its own dialog, since its title and
    // filter never change.
    QFileDialog* TuneExportDialog();

    // The working directory as start-up left it; empty when start-up stopped early. The song
    // and sheet dialogs start there and the manual is found under it.
    QString StartDir;

    // The splash window while start-up shows it.
    QPointer<TForm2> Form2;

    void FormCreate(QObject* Sender);
    void Exit1Click(QObject* Sender);

    // Pipe-length page.
    void SpeedButton1Click(QObject* Sender);

    // Pitch page.
    void CuteButton16Click(QObject* Sender);

    // Composition page and its song file.
    void CuteButton2Click(QObject* Sender);
    void BitBtn2Click(QObject* Sender);
    void BitBtn3Click(QObject* Sender);
    void BitBtn4Click(QObject* Sender);
    void BitBtn5Click(QObject* Sender);
    void BitBtn6Click(QObject* Sender);
    // Menu 工作: the song as a WAV file (Unit1Composition.cpp).
    void ExportTune1Click(QObject* Sender);

    // Sheet page (仕様書作成).
    void ComboBox1Change(QObject* Sender);
    void BitBtn7Click(QObject* Sender);
    void BitBtn8Click(QObject* Sender);

    // Simulation page and the Help menu's manual (Unit1Simulation.cpp).
    Ui::SimulationPage simulationPage;
    void BitBtn1Click(QObject* Sender);
    void HowToUse1Click(QObject* Sender);

    // The Workshop menu's pipe workshop (Unit1Workshop.cpp), made afresh at each opening from
    // the sheet page's pipes and pupil.
    void PipeWorkshop1Click(QObject* Sender);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Everything behind the splash: the frame, the pages and their handlers; the pitch page's
    // players take the clips that start-up read, in their order.
    void buildWindow(const std::vector<kw27::StoredAviClip>& clips);
    bool built_ = false;
    void setUpLengthPage();
    void setUpPitchPage();
    // Gives the pitch page's players, left to right, the clips read from pitchClipNames().
    void givePitchClips(const std::vector<kw27::StoredAviClip>& clips);
    void setUpCompositionPage();
    void setUpSheetPage();
    void setUpSimulationPage();
    // The song file loaded last, offered by the open dialog; empty until a load succeeds.
    QString lastSongFile_;

    bool placed_ = false;
    QFileDialog* openDialog_ = nullptr;
    QFileDialog* saveDialog_ = nullptr;
    QFileDialog* tuneExportDialog_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
    QPrintDialog* printerSetupDialog_ = nullptr;
    Clock today_;
};

// The date as the sheet page writes it: "2001年 4月 9日".
QString sheetDateText(const QDate& date);

// The pitch page's clips, do to upper do: the order in which start-up opens them.
std::vector<QString> pitchClipNames();

} // namespace chimelab
