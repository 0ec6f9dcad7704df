#include "SpeedButton.h"

#include "Bevel.h"

#include <QPainter>

TSpeedButton::TSpeedButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    // Hover events repaint the button as the mouse enters and leaves.
    setAttribute(Qt::WA_Hover);
}

QSize TSpeedButton::sizeHint() const {
    return QSize(23, 22);
}

void TSpeedButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool down = isDown();
    if (down || underMouse())
        kw27::drawEdge(painter, rect(), !down, 1);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    // A held-down button's caption moves one pixel down and right, as if pressed in.
    painter.drawText(rect().translated(down ? 1 : 0, down ? 1 : 0), Qt::AlignCenter, text());
}
