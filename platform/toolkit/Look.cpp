#include "Look.h"

#include "Fonts.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

namespace kw27 {

void setWindowLook(QWidget* window) {
    window->setFont(pixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
    QPalette face = window->palette();
    face.setColor(QPalette::Window, colorToRgb(clBtnFace));
    face.setColor(QPalette::Button, colorToRgb(clBtnFace));
    window->setPalette(face);
}

void setTextColour(QWidget* widget, TColor colour, QPalette::ColorRole role) {
    QPalette palette = widget->palette();
    palette.setColor(role, colorToRgb(colour));
    widget->setPalette(palette);
}

void setBackgroundColour(QWidget* widget, TColor colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colorToRgb(colour));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void centreOnScreen(QWidget* window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

QStyle* classicStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = QStyleFactory::create(QStringLiteral("Windows"));
        if (style)
            style->setParent(qApp);
    }
    return style;
}

} // namespace kw27
