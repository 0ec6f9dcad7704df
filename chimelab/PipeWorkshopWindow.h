#pragma once

// The pipe workshop: three pipe lengths and the saw's width in, each pipe's pitch, note,
// tuning, hanging hole and filing out, the chord and the material they use; the pipes heard
// one by one or together, and the making plan printed or saved as a PDF. The layout is
// PipeWorkshop.ui; the reckoning lives in chimelab/workshop (no widgets), the sounds come from
// the data set's generator and play through the one OpenAL layer.

#include "AudioOutput.h"
#include "BufferPlayer.h"
#include "Plan.h"
#include "ui_PipeWorkshop.h"

#include <QDialog>
#include <array>
#include <functional>
#include <memory>

class QFileDialog;
class QPrintDialog;
class QPrinter;

namespace chimelab {

class PipeWorkshopWindow : public QDialog {
    Q_OBJECT

public:
    using OutputMaker = std::function<std::unique_ptr<kw27::AudioOutput>()>;

    // start gives the lengths the fields start with and the pupil's details for the plan;
    // saveFolder is where the save dialog opens. The sound output is made on the first play.
    PipeWorkshopWindow(const kw27::workshop::PlanInput& start, const QString& saveFolder,
                       QWidget* parent = nullptr, OutputMaker makeOutput = {});
    ~PipeWorkshopWindow() override;

    Ui::PipeWorkshop ui;

    // Made the first time they are asked for.
    QFileDialog* saveDialog();
    QPrintDialog* printDialog();

    // The lengths and the saw's width now taken, in tenths of a millimetre.
    const std::array<int, 3>& lengths() const { return input_.lengthsTenthsMm; }
    int kerf() const { return input_.kerfTenthsMm; }
    // Nothing before the first play.
    kw27::BufferPlayer* player() { return player_.get(); }

    void lengthEditEdited(QObject* Sender);
    void lengthEditFinished(QObject* Sender);
    void playButtonClick(QObject* Sender);
    void playAllButtonClick(QObject* Sender);
    void stopButtonClick(QObject* Sender);
    void printButtonClick(QObject* Sender);
    void saveButtonClick(QObject* Sender);
    void closeButtonClick(QObject* Sender);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void setUpLook();
    void showPipe(int index);
    void showTogether();
    // Which field Sender is: 0-2 the lengths, 3 the saw's width.
    int fieldOf(QObject* Sender) const;
    void takeField(int field, bool refuse);
    void ensurePlayer();

    kw27::workshop::PlanInput input_;
    QString saveFolder_;
    OutputMaker makeOutput_;
    std::unique_ptr<kw27::AudioOutput> output_;
    std::unique_ptr<kw27::BufferPlayer> player_;
    QFileDialog* saveDialog_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
    QPrintDialog* printDialog_ = nullptr;
};

// The lengths the workshop starts with: the sheet page's chosen pipes, and ド, ミ, ソ
// (18.6, 16.5, 15.3 cm) for a chooser with nothing chosen. Positions as the choosers give them.
std::array<int, 3> workshopStartLengths(const std::array<int, 3>& chooserPositions);

} // namespace chimelab
