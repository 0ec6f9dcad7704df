#pragma once

// Chimelab's main window. The frame (this header, Unit1.ui, Unit1.cpp) holds the menu bar,
// the five tab pages and the quit button, and runs start-up in FormCreate. Each page's
// controls come from a form of its own (LengthPage.ui, PitchPage.ui, ...) laid onto its tab
// page; its handlers are members of this class, written in a source file of their own
// (Unit1Length.cpp, ...). Handlers take the control that raised the event, so one handler can
// serve several controls and tell them apart; signals reach them through
// kw27::connectHandler, so that an error a handler does not catch goes to the general error
// report.

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

class TForm2;

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

    // Sheet page (仕様書作成).
    void ComboBox1Change(QObject* Sender);
    void BitBtn7Click(QObject* Sender);
    void BitBtn8Click(QObject* Sender);

    // Simulation page and the Help menu's manual (Unit1Simulation.cpp).
    Ui::SimulationPage simulationPage;
    void BitBtn1Click(QObject* Sender);
    void HowToUse1Click(QObject* Sender);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setUpLengthPage();
    void setUpPitchPage();
    // Gives the pitch page's players their clips, left to right; raises EKwError for a clip
    // that cannot be opened, leaving the players before it with theirs.
    void loadPitchClips();
    void setUpCompositionPage();
    void setUpSheetPage();
    void setUpSimulationPage();
    // The song file loaded last, offered by the open dialog; empty until a load succeeds.
    QString lastSongFile_;

    bool placed_ = false;
    QFileDialog* openDialog_ = nullptr;
    QFileDialog* saveDialog_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
    QPrintDialog* printerSetupDialog_ = nullptr;
    Clock today_;
};

// The date as the sheet page writes it: "2001年 4月 9日".
QString sheetDateText(const QDate& date);
