#pragma once

#include "ui_Splash.h"

#include <QWidget>

// The splash window: a fixed yellow panel with the title, the model name and the logo,
// frameless, centred and above every other window. It has no behaviour of its own; start-up
// shows it, paints it and releases it.
class TForm2 : public QWidget {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);

    // Paints the whole window now, once the window system shows it: what follows blocks the
    // event loop, so no later paint request would be served.
    void paintAtOnce();

    Ui::TForm2 ui;

protected:
    void closeEvent(QCloseEvent* event) override;
};
