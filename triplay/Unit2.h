#pragma once

// Triplay's window: three pipe choosers, the length of material the three pipes need (with a
// warning above the 59 cm a pupil has) and one button that rings the three pipes together and
// stops them again.
//
// Sound: the window's device component DDSD1 has 21 channels; channel k holds the pipe of
// chooser position k-1, and channel 0 never gets a sound, so a chooser with nothing chosen
// plays silence. The order of construction matters: the controls come from Unit2.ui, then
// DDSD1's after-loading step opens the device and makes its channels, and only then are the
// twenty sounds loaded (a wave made on a device not yet opened stays empty). Both run on a
// worker started when the window is first painted, and joined on the event loop's next turn,
// or before any input is delivered, whichever comes first: no handler ever sees a device
// still opening. FormCreate then reports a sound that failed to load or gives the sounds to
// the channels.
// The window owns the waves and frees them in FormDestroy, while the device still exists.
//
// Handlers take the control that raised the event and are reached through kw27::connectHandler,
// so that an error they do not catch goes to the general error report.
//
// The controls keep the names the program is known by:
//
//   Panel1       the choosers' panel: Label4, Label5 the instruction; Label6-8 the captions
//                beside ComboBox1-3, the three pipe choosers (all ComboBox1Change)
//   Panel2       the total: Label1, Label9 and Label3 around Label2, the total length; Label10,
//                Label11 the two lines of the material warning
//   CuteButton1  plays the three pipes together and stops them (CuteButton1Click)
//   CuteButton2  quits (CuteButton2Click)
//   DDSD1        the sound device component, made in code, not in the form

#include "PipeCatalogue.h"
#include "ddsd.h"
#include "ui_Unit2.h"

#include <QWidget>
#include <array>
#include <exception>
#include <future>
#include <memory>
#include <vector>

class QComboBox;

namespace triplay {

// True when the next press of CuteButton1 starts the sounds, false when it stops them. Set
// before any window exists.
extern bool ReadyToPlay;

// Triplay's own length table, filled before any window exists and released at program end.
extern const kw27::LengthTable Length;

// The sound of each chooser position, in catalogue order.
extern const std::array<const char*, kw27::PipeCount> SoundFiles;

class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Waits for the device and the sounds (loading them if not yet started) and, the first
    // time, runs FormCreate. Raises EDDSD (each time) when the sound device failed while it
    // was being set up: the program ends then. When that happens on the event loop, the loop
    // is left instead, with code 1.
    void FinishLoading();

    std::unique_ptr<Ui::TForm1> ui;
    TDDSD* DDSD1;

    void FormCreate(QObject* Sender);
    void ComboBox1Change(QObject* Sender);
    void CuteButton1Click(QObject* Sender);
    void CuteButton2Click(QObject* Sender);
    void FormDestroy(QObject* Sender);

    // The wave of catalogue position 0-19, or nullptr when it was never made or already freed.
    TDDSDWaveData* Wave(int position) const { return waves_.at(std::size_t(position)).get(); }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The twenty waves in catalogue order, up to the first that fails (raising its error).
    void loadSounds();
    // Starts the worker, once.
    void startLoading();
    // FinishLoading from the event loop, where an exception must not go.
    void finishLoadingInLoop();
    void PlayPipes();
    std::array<QComboBox*, 3> choosers() const;

    std::array<std::unique_ptr<TDDSDWaveData>, kw27::PipeCount> waves_;
    // The worker opening the device and loading the sounds; invalid once joined.
    std::future<void> loading_;
    // What stopped loadSounds, for FormCreate; null when all twenty loaded.
    std::exception_ptr loadFailure_;
    // What stopped the device from opening; kept, as the program ends with it.
    std::exception_ptr deviceFailure_;
    // The channels that the last play press started: the stop press silences them even when a
    // chooser has been changed since.
    std::vector<int> started_;
    bool placed_ = false;
    bool loadingStarted_ = false;
};

} // namespace triplay
