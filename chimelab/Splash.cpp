#include "Splash.h"

#include "BoldText.h"
#include "Fonts.h"
#include "Look.h"
#include "Picture.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {

// Ends a wait as soon as the watched window is exposed.
class ExposeWatcher : public QObject {
public:
    ExposeWatcher(QWindow* window, QEventLoop& loop) : window_(window), loop_(loop) {
        window_->installEventFilter(this);
    }
    ~ExposeWatcher() override { window_->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Expose && window_->isExposed())
            loop_.quit();
        return false;
    }

private:
    QWindow* window_;
    QEventLoop& loop_;
};

} // namespace

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    // Read before the first text needs the font list, which may still be in the making.
    const QPixmap logo = kw27::loadPicture(QStringLiteral(":/assets/logo.png"));
    ui.setupUi(this);
    setFixedSize(511, 309);

    // The window's own colour, hidden under the panel.
    kw27::setBackgroundColour(this, clLime);
    ui.Panel1->setColor(colorToRgb(clYellow));
    ui.Image1->setPixmap(logo);

    // The two fixed texts are wholly in the face: no other face is looked up for glyphs it
    // lacks, which would cost the splash a good part of its first paint.
    QFont title = kw27::pixelFont(QStringLiteral("ＭＳ ゴシック"), 32, true, true);
    title.setStyleStrategy(QFont::NoFontMerging);
    QFont modelFont = kw27::pixelFont(QStringLiteral("ＭＳ ゴシック"), 64, true);
    modelFont.setStyleStrategy(QFont::NoFontMerging);
    ui.Label1->setFont(title);
    kw27::setTextColour(ui.Label1, clBlue);
    ui.Label2->setFont(modelFont);
    kw27::setTextColour(ui.Label2, clRed);
    // At this size the toolkit would draw the bold face that the font lacks as regular.
    const QString model = ui.Label2->text();
    ui.Label2->setPixmap(
        kw27::boldTextPicture(model, ui.Label2->font(), colorToRgb(clRed), devicePixelRatioF()));
    ui.Label2->setAccessibleName(model);
    ui.Label1->adjustSize();
    ui.Label2->adjustSize();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm2::closeEvent(QCloseEvent* event) {
    // Nobody closes the splash; start-up releases it.
    event->ignore();
}

void TForm2::paintAtOnce() {
    // Under X11 the window is mapped asynchronously: wait for the window system to expose it
    // (but not for ever), then paint everything at once.
    QWindow* window = windowHandle();
    if (window && !window->isExposed()) {
        QEventLoop loop;
        ExposeWatcher watcher(window, loop);
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    repaint();
}
