#pragma once

#include <QAbstractButton>

// The toolkit's flat speed button: no frame and no background of its own, so whatever lies
// behind shows through; a one-pixel raised edge while the mouse is over it and a sunken edge
// while it is held down. The caption is centred in the window-text colour. It never takes the
// keyboard focus.
class TSpeedButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit TSpeedButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
