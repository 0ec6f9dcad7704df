#include "CuteBtn.h"

#include "AccessibleNames.h"
#include "Bevel.h"
#include "InputState.h"
#include "Look.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTextLayout>

#include <algorithm>
#include <vector>

namespace {

// Right and bottom are exclusive, as in the drawing rules the bevels were designed with.
struct Edges {
    int left;
    int top;
    int right;
    int bottom;
};

Edges edgesOf(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QRect rectOf(const Edges& e) {
    return QRect(e.left, e.top, e.right - e.left, e.bottom - e.top);
}

struct CaptionText {
    QString shown;
    std::vector<int> underlined; // positions in shown
};

// "&x" underlines x, "&&" shows one ampersand, a final lone "&" shows nothing.
CaptionText parseCaption(const QString& caption) {
    CaptionText text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != u'&') {
            text.shown += caption[i];
            continue;
        }
        if (++i == caption.size())
            break;
        if (caption[i] != u'&')
            text.underlined.push_back(int(text.shown.size()));
        text.shown += caption[i];
    }
    return text;
}

TCuteButton::TShiftState shiftFrom(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TCuteButton::TShiftState shift;
    shift.setFlag(TCuteButton::ssShift, modifiers & Qt::ShiftModifier);
    shift.setFlag(TCuteButton::ssAlt, modifiers & Qt::AltModifier);
    shift.setFlag(TCuteButton::ssCtrl, modifiers & Qt::ControlModifier);
    shift.setFlag(TCuteButton::ssLeft, buttons & Qt::LeftButton);
    shift.setFlag(TCuteButton::ssRight, buttons & Qt::RightButton);
    shift.setFlag(TCuteButton::ssMiddle, buttons & Qt::MiddleButton);
    return shift;
}

bool isMouseButton(Qt::MouseButton button) {
    return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
}

TCuteButton::TMouseButton mouseButtonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::RightButton:
        return TCuteButton::mbRight;
    case Qt::MiddleButton:
        return TCuteButton::mbMiddle;
    default:
        return TCuteButton::mbLeft;
    }
}

} // namespace

// Access characters work like a dialog's: a character typed with Alt, or a plain character that
// the focused control and its parents leave unhandled, is offered to every button of the window
// until one takes it. Alt+character is a system key, so even a text box never sees it as text.
// One application-wide filter serves all buttons.
class TCuteButtonAccessKeys : public QObject {
public:
    static void install() {
        static QPointer<TCuteButtonAccessKeys> instance;
        if (!instance && qApp) {
            instance = new TCuteButtonAccessKeys(qApp);
            qApp->installEventFilter(instance);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier) || key->text().size() != 1)
            return false;
        // The filter sees the event at each widget it propagates through, the window last.
        auto* receiver = static_cast<QWidget*>(watched);
        if (!(key->modifiers() & Qt::AltModifier) && !receiver->isWindow())
            return false;
        QWidget* window = receiver->window();
        const QChar ch = key->text().front();
        if (!ch.isPrint())
            return false;
        // The first button that takes the character clicks and ends the search, before its
        // handler could have changed the list.
        const QList<TCuteButton*> buttons = window->findChildren<TCuteButton*>();
        for (TCuteButton* button : buttons) {
            if (button->window() == window && button->dialogChar(ch)) {
                key->accept();
                return true;
            }
        }
        return false;
    }

private:
    using QObject::QObject;
};

TCuteButton::TCuteButton(QWidget* owner) : QWidget(owner) {
    // The panel's own defaults (alignment, bevel width, border, colour, raised outer bevel) and
    // the button's fields are set by their initialisers; what follows changes the panel's look.
    bevelOuter_ = bvNone;
    bevelInner_ = bvRaised;
    resize(75, 25);
    setTabStop(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    TCuteButtonAccessKeys::install();

    // X11 may report a held key's repeated release as a real one, the repeat's press coming
    // right behind it: a Space release clicks once the events queued behind it are handled.
    spaceRelease_.setSingleShot(true);
    spaceRelease_.setInterval(0);
    connect(&spaceRelease_, &QTimer::timeout, this, &TCuteButton::spaceReleaseDue);

    // The active control can change while its window is inactive without any focus event; the
    // button that was active must still give its focus-lost effect.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (entered_ && now && now != this && now->window() == window())
            loseFocus();
    });
}

void TCuteButton::setAlignment(TAlignment value) {
    kw27::storeAndRepaint(*this, alignment_, value);
}

void TCuteButton::setBevelWidth(int value) {
    kw27::storeAndRepaint(*this, bevelWidth_, std::max(value, 1));
}

void TCuteButton::setBevelHighlightColor(TColor value) {
    kw27::storeAndRepaint(*this, bevelHighlightColor_, value);
}

void TCuteButton::setBevelShadowColor(TColor value) {
    kw27::storeAndRepaint(*this, bevelShadowColor_, value);
}

void TCuteButton::setBorderStyle(TBorderStyle value) {
    kw27::storeAndRepaint(*this, borderStyle_, value);
}

void TCuteButton::setBrushStyle(Qt::BrushStyle value) {
    brushStyle_ = value;
    // Gaps in a patterned brush show what lies behind the button.
    setAttribute(Qt::WA_OpaquePaintEvent, value == Qt::SolidPattern);
    update();
}

void TCuteButton::setCaption(const QString& value) {
    if (caption_ == value)
        return;
    // A name taken from the caption follows it ("まとめて鳴らす" becomes "止める"); one given by
    // hand stays.
    const bool namedByCaption = accessibleName() == kw27::accessibleNameFor(this);
    caption_ = value;
    if (namedByCaption && !accessibleName().isEmpty())
        setAccessibleName(kw27::accessibleNameFor(this));
    update();
}

void TCuteButton::setColor(TColor value) {
    kw27::storeAndRepaint(*this, color_, value);
}

void TCuteButton::setFlat(bool value) {
    if (flat_ == value)
        return;
    flat_ = value;
    setBevelInner(value ? bvNone : bvRaised);
}

void TCuteButton::setFontColor(TColor value) {
    kw27::storeAndRepaint(*this, fontColor_, value);
}

void TCuteButton::setLayout(TTextLayout value) {
    kw27::storeAndRepaint(*this, layout_, value);
}

void TCuteButton::setMarginX(int value) {
    value = std::max(value, -1);
    kw27::storeAndRepaint(*this, marginX_, value);
}

void TCuteButton::setMarginY(int value) {
    value = std::max(value, -1);
    kw27::storeAndRepaint(*this, marginY_, value);
}

bool TCuteButton::tabStop() const {
    return focusPolicy() == Qt::TabFocus;
}

void TCuteButton::setTabStop(bool value) {
    // Clicks take the focus in mousePressEvent, only on the client area; the toolkit must not
    // take it on its own (not even on the sunken edge).
    setFocusPolicy(value ? Qt::TabFocus : Qt::NoFocus);
}

void TCuteButton::setBevelOuter(TBevelCut value) {
    kw27::storeAndRepaint(*this, bevelOuter_, value);
}

void TCuteButton::setBevelInner(TBevelCut value) {
    kw27::storeAndRepaint(*this, bevelInner_, value);
}

int TCuteButton::edgeWidth() const {
    return borderStyle_ == bsSingle ? kw27::kSunkenEdgeWidth : 0;
}

QRect TCuteButton::clientRect() const {
    const int edge = edgeWidth();
    return QRect(0, 0, std::max(width() - 2 * edge, 0), std::max(height() - 2 * edge, 0));
}

QPoint TCuteButton::toClient(QPointF widgetPos) const {
    const int edge = edgeWidth();
    return widgetPos.toPoint() - QPoint(edge, edge);
}

QRect TCuteButton::captionRect() const {
    Edges r = edgesOf(clientRect());
    const int inset = flat_ ? bevelWidth_ : 2 * bevelWidth_;
    r = {r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
    if (marginX_ != -1) {
        if (alignment_ == taLeftJustify)
            r.left += marginX_;
        else if (alignment_ == taRightJustify)
            r.right -= marginX_;
    }
    if (marginY_ != -1) {
        if (layout_ == tlTop)
            r.top += marginY_;
        else if (layout_ == tlBottom)
            r.bottom -= marginY_;
    }
    if (bevelOuter_ == bvLowered) {
        r.left += 2;
        r.top += 2;
    }
    return rectOf(r);
}

QChar TCuteButton::accessCharacter() const {
    const CaptionText text = parseCaption(caption_);
    return text.underlined.empty() ? QChar() : text.shown[text.underlined.front()];
}

void TCuteButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int edge = edgeWidth();
    if (edge > 0) {
        kw27::drawSunkenEdge(painter, rect());
        painter.translate(edge, edge);
    }
    const QRect client = clientRect();
    painter.setClipRect(client);
    // Transparent, so that the gaps of a patterned brush are left alone.
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.fillRect(client, QBrush(colorToRgb(color_), brushStyle_));

    QRect r = client;
    for (const TBevelCut bevel : {bevelOuter_, bevelInner_}) {
        if (bevel == bvRaised)
            r = kw27::drawFrame3D(painter, r, colorToRgb(bevelHighlightColor_),
                                  colorToRgb(bevelShadowColor_), bevelWidth_);
        else if (bevel == bvLowered)
            r = kw27::drawFrame3D(painter, r, colorToRgb(bevelShadowColor_),
                                  colorToRgb(bevelHighlightColor_), bevelWidth_);
    }
    paintCaption(painter);
}

void TCuteButton::paintCaption(QPainter& painter) const {
    const QRect box = captionRect();
    const CaptionText text = parseCaption(caption_);
    if (box.isEmpty() || text.shown.isEmpty())
        return;

    QTextLayout layout(text.shown, font(), const_cast<TCuteButton*>(this));
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    QList<QTextLayout::FormatRange> formats;
    for (const int at : text.underlined) {
        QTextLayout::FormatRange range;
        range.start = at;
        range.length = 1;
        range.format.setFontUnderline(true);
        formats.append(range);
    }
    layout.setFormats(formats);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();

    // Placed on whole pixels the way the platform's text drawing does it, so that the 2-pixel
    // shrink of the pressed look moves centred text by exactly one pixel.
    const QFontMetrics metrics(font(), const_cast<TCuteButton*>(this));
    const int textWidth = qRound(line.naturalTextWidth());
    const int textHeight = metrics.height();
    const Edges r = edgesOf(box);
    int x = r.left;
    if (alignment_ == taRightJustify)
        x = r.right - textWidth;
    else if (alignment_ == taCenter)
        x = r.left + (r.right - r.left - textWidth) / 2;
    int y = r.top;
    if (layout_ == tlBottom)
        y = r.bottom - textHeight;
    else if (layout_ == tlCenter)
        y = r.top + (r.bottom - r.top - textHeight) / 2;

    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.setPen(colorToRgb(fontColor_));
    layout.draw(&painter, QPointF(x, y + metrics.ascent() - line.ascent()));
    painter.restore();
}

void TCuteButton::Click() {
    emit OnClick(this);
}

void TCuteButton::settle() {
    setBevelOuter(tabFocusUp_ ? bvRaised : bvNone);
}

void TCuteButton::gainFocus() {
    if (entered_)
        return;
    entered_ = true;
    // Under X11 a press on an inactive window gets its focus only once the window is active,
    // maybe while the button is still held: the press's look stays.
    if (tabFocusUp_)
        setBevelOuter(captured_ ? bvLowered : bvRaised);
    emit OnEnter(this);
}

void TCuteButton::loseFocus() {
    if (!entered_)
        return;
    // A Space released before the focus went clicks first, as it would have at once.
    spaceRelease_.stop();
    spaceReleaseDue();
    spaceReleasedAt_.reset();
    entered_ = false;
    // A Space press cannot end on a button that no longer has the keys.
    spacePressed_ = false;
    emit OnExit(this);
    setBevelOuter(bvNone);
}

void TCuteButton::focusInEvent(QFocusEvent*) {
    gainFocus();
}

void TCuteButton::focusOutEvent(QFocusEvent* event) {
    // Another window or a menu taking the keys leaves this button its window's active control.
    const bool stillActive =
        window()->focusWidget() == this &&
        (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason);
    if (!stillActive)
        loseFocus();
}

void TCuteButton::MouseEnter(TShiftState Shift, int X, int Y) {
    // Neither program uses drag and drop, so there is no dragged control to leave alone.
    emit OnMouseEnter(this, Shift, X, Y);
    setBevelOuter(Shift.testFlag(ssLeft) ? bvLowered : bvRaised);
}

void TCuteButton::MouseLeave(TShiftState Shift, int X, int Y) {
    emit OnMouseLeave(this, Shift, X, Y);
    if (!(hasFocus() && tabFocusUp_))
        setBevelOuter(bvNone);
}

void TCuteButton::pointerCameOver() {
    if (pointerOver_)
        return;
    pointerOver_ = true;
    const QPoint at = toClient(mapFromGlobal(QCursor::pos()));
    MouseEnter(shiftFrom(QGuiApplication::queryKeyboardModifiers(), kw27::mouseButtonsHeld()),
               at.x(), at.y());
}

void TCuteButton::pointerWentAway() {
    if (!pointerOver_)
        return;
    pointerOver_ = false;
    const QPoint at = toClient(mapFromGlobal(QCursor::pos()));
    MouseLeave(shiftFrom(QGuiApplication::queryKeyboardModifiers(), kw27::mouseButtonsHeld()),
               at.x(), at.y());
}

void TCuteButton::enterEvent(QEnterEvent*) {
    pointerCameOver();
}

void TCuteButton::leaveEvent(QEvent*) {
    pointerWentAway();
}

void TCuteButton::press(QMouseEvent* event, bool armClick) {
    const QPoint at = toClient(event->position());
    // The sunken edge is outside the client area: a press there does nothing.
    if (!isMouseButton(event->button()) || !clientRect().contains(at))
        return;
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) {
        // Held from here on: a focus that arrives later finds the press under way.
        captured_ = true;
        clickArmed_ = armClick;
        setBevelOuter(bvLowered);
    }
    emit OnMouseDown(this, mouseButtonOf(event->button()),
                     shiftFrom(event->modifiers(), event->buttons()), at.x(), at.y());
}

void TCuteButton::mousePressEvent(QMouseEvent* event) {
    press(event, true);
}

void TCuteButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click shows the press but its release does not click.
    press(event, false);
}

void TCuteButton::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = toClient(event->position());
    const bool inside = clientRect().contains(at);
    // Without the capture a release outside the client area belongs to whatever lies there.
    if (!isMouseButton(event->button()) || (!captured_ && !inside))
        return;
    if (event->button() == Qt::LeftButton) {
        if (clickArmed_) {
            clickArmed_ = false;
            if (inside)
                Click();
        }
        if (inside || (tabFocusUp_ && window()->focusWidget() == this))
            setBevelOuter(bvRaised);
        else
            setBevelOuter(bvNone);
    }
    emit OnMouseUp(this, mouseButtonOf(event->button()),
                   shiftFrom(event->modifiers(), event->buttons()), at.x(), at.y());
    captured_ = false;
    clickArmed_ = false;
}

void TCuteButton::mouseMoveEvent(QMouseEvent* event) {
    // The toolkit tells nobody about enter and leave while a button is held; with the capture,
    // this button still hears when the pointer leaves it and comes back.
    if (captured_) {
        if (rect().contains(event->position().toPoint()))
            pointerCameOver();
        else
            pointerWentAway();
    }
    // Moves over the sunken edge are not moves over the client area.
    const QPoint at = toClient(event->position());
    if (captured_ || clientRect().contains(at))
        emit OnMouseMove(this, shiftFrom(event->modifiers(), event->buttons()), at.x(), at.y());
}

void TCuteButton::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    emit OnKeyDown(this, key, shiftFrom(event->modifiers(), {}));
    bool consumed = false;
    if (isEnabled()) {
        if (key == Qt::Key_Space) {
            // Behind a release, a press of the same moment tells that the key repeated; a
            // later one, that the release was real.
            if (spaceReleasedAt_) {
                const bool repeated = *spaceReleasedAt_ == event->timestamp();
                spaceRelease_.stop();
                spaceReleasedAt_.reset();
                if (!repeated) {
                    Click();
                    settle();
                }
            }
            spacePressed_ = true;
            setBevelOuter(bvLowered);
            consumed = true;
        } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            setBevelOuter(bvLowered);
            Click();
            settle();
            consumed = true;
        } else if (spacePressed_) {
            spacePressed_ = false;
            settle();
        }
    }
    for (QChar ch : event->text()) {
        emit OnKeyPress(this, ch);
        if (ch.isNull())
            consumed = true;
    }
    event->setAccepted(consumed);
}

void TCuteButton::keyReleaseEvent(QKeyEvent* event) {
    // A held key repeats its press only; the release comes once, when the key is let go.
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    int key = event->key();
    emit OnKeyUp(this, key, shiftFrom(event->modifiers(), {}));
    if (key == Qt::Key_Space && spacePressed_) {
        spacePressed_ = false;
        spaceReleasedAt_ = event->timestamp();
        spaceKeyCode_ = event->nativeScanCode();
        spaceRelease_.start();
        event->accept();
        return;
    }
    event->ignore();
}

void TCuteButton::spaceReleaseDue() {
    // A key down again means a press is on its way, and its time tells.
    if (!spaceReleasedAt_ || kw27::keyHeld(spaceKeyCode_))
        return;
    spaceReleasedAt_.reset();
    Click();
    if (entered_)
        settle();
}

bool TCuteButton::dialogChar(QChar ch) {
    const QChar access = accessCharacter();
    if (access.isNull() || access.toUpper() != ch.toUpper() || !isEnabled())
        return false;
    if (parentWidget() && !parentWidget()->isVisible())
        return false;
    Click();
    return true;
}
