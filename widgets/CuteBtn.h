#pragma once

// TCuteButton: a push button that paints itself completely: a face of any colour, a one-line
// caption placed by alignment, layout and margins, and two bevels. The outer bevel is the look
// (none = rest, raised = up, lowered = pressed); the inner bevel follows Flat.
//
// It behaves like a classic desktop panel control rather than a Qt button: a client area inside
// an optional sunken edge, mouse capture while the left button is held (with the enter and leave
// notices that capture implies), focus effects tied to the window's active control rather than
// to the momentary keyboard focus, and dialog-style access characters. Forms place it as a
// custom widget (header "CuteBtn.h"); every setter a form needs is named after its property.

#include "TColor.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <optional>

class QPainter;

class TCuteButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TAlignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(int BevelWidth READ bevelWidth WRITE setBevelWidth)
    Q_PROPERTY(uint BevelHighlightColor READ bevelHighlightColor WRITE setBevelHighlightColor)
    Q_PROPERTY(uint BevelShadowColor READ bevelShadowColor WRITE setBevelShadowColor)
    Q_PROPERTY(TBorderStyle BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(Qt::BrushStyle BrushStyle READ brushStyle WRITE setBrushStyle)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(uint Color READ color WRITE setColor)
    Q_PROPERTY(bool Flat READ flat WRITE setFlat)
    Q_PROPERTY(uint FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(TTextLayout Layout READ textLayout WRITE setLayout)
    Q_PROPERTY(int MarginX READ marginX WRITE setMarginX)
    Q_PROPERTY(int MarginY READ marginY WRITE setMarginY)
    Q_PROPERTY(bool TabFocusUp READ tabFocusUp WRITE setTabFocusUp)
    Q_PROPERTY(bool TabStop READ tabStop WRITE setTabStop)

public:
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)
    enum TTextLayout : unsigned char { tlTop, tlCenter, tlBottom };
    Q_ENUM(TTextLayout)
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)
    enum TBevelCut { bvNone, bvLowered, bvRaised };
    Q_ENUM(TBevelCut)
    enum TMouseButton { mbLeft, mbRight, mbMiddle };
    Q_ENUM(TMouseButton)
    enum TShiftStateFlag {
        ssShift = 0x01,
        ssAlt = 0x02,
        ssCtrl = 0x04,
        ssLeft = 0x08,
        ssRight = 0x10,
        ssMiddle = 0x20,
    };
    Q_DECLARE_FLAGS(TShiftState, TShiftStateFlag)
    Q_FLAG(TShiftState)

    explicit TCuteButton(QWidget* owner = nullptr);

    TAlignment alignment() const { return alignment_; }
    void setAlignment(TAlignment value);
    int bevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int value);
    TColor bevelHighlightColor() const { return bevelHighlightColor_; }
    void setBevelHighlightColor(TColor value);
    TColor bevelShadowColor() const { return bevelShadowColor_; }
    void setBevelShadowColor(TColor value);
    TBorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(TBorderStyle value);
    // The background brush: its colour is always Color; a style other than solid leaves the
    // gaps of the pattern unpainted.
    Qt::BrushStyle brushStyle() const { return brushStyle_; }
    void setBrushStyle(Qt::BrushStyle value);
    QString caption() const { return caption_; }
    void setCaption(const QString& value);
    TColor color() const { return color_; }
    void setColor(TColor value);
    bool flat() const { return flat_; }
    void setFlat(bool value);
    // Fonts carry no colour here, so the caption's colour is a property of its own.
    TColor fontColor() const { return fontColor_; }
    void setFontColor(TColor value);
    TTextLayout textLayout() const { return layout_; }
    void setLayout(TTextLayout value);
    int marginX() const { return marginX_; }
    void setMarginX(int value);
    int marginY() const { return marginY_; }
    void setMarginY(int value);
    bool tabFocusUp() const { return tabFocusUp_; }
    void setTabFocusUp(bool value) { tabFocusUp_ = value; }
    bool tabStop() const;
    void setTabStop(bool value);

    // The look: rest (bvNone), up (bvRaised) or pressed (bvLowered).
    TBevelCut bevelOuter() const { return bevelOuter_; }
    TBevelCut bevelInner() const { return bevelInner_; }

    // In client coordinates: the area inside the sunken edge of bsSingle, and the rectangle the
    // caption is drawn and clipped in for the present look.
    QRect clientRect() const;
    QRect captionRect() const;
    // The character after the first single ampersand of the caption (the one drawn underlined),
    // or a null character when the caption has none.
    QChar accessCharacter() const;

signals:
    void OnClick(QObject* Sender);
    void OnEnter(QObject* Sender);
    void OnExit(QObject* Sender);
    void OnMouseEnter(QObject* Sender, TCuteButton::TShiftState Shift, int X, int Y);
    void OnMouseLeave(QObject* Sender, TCuteButton::TShiftState Shift, int X, int Y);
    void OnMouseDown(QObject* Sender, TCuteButton::TMouseButton Button,
                     TCuteButton::TShiftState Shift, int X, int Y);
    void OnMouseUp(QObject* Sender, TCuteButton::TMouseButton Button,
                   TCuteButton::TShiftState Shift, int X, int Y);
    void OnMouseMove(QObject* Sender, TCuteButton::TShiftState Shift, int X, int Y);
    // A handler may change Key (a Qt::Key code; 0 for none) before the button acts on it.
    void OnKeyDown(QObject* Sender, int& Key, TCuteButton::TShiftState Shift);
    void OnKeyUp(QObject* Sender, int& Key, TCuteButton::TShiftState Shift);
    // Setting Key to a null character swallows the character.
    void OnKeyPress(QObject* Sender, QChar& Key);

protected:
    // Every click, whatever its trigger, goes through here.
    virtual void Click();
    virtual void MouseEnter(TShiftState Shift, int X, int Y);
    virtual void MouseLeave(TShiftState Shift, int X, int Y);
    // Both always repaint, even when the value does not change.
    void setBevelOuter(TBevelCut value);
    void setBevelInner(TBevelCut value);

    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    friend class TCuteButtonAccessKeys;

    int edgeWidth() const;
    QPoint toClient(QPointF widgetPos) const;
    void settle();
    void gainFocus();
    void loseFocus();
    void pointerCameOver();
    void pointerWentAway();
    void press(QMouseEvent* event, bool armClick);
    void spaceReleaseDue();
    void paintCaption(QPainter& painter) const;
    // Clicks when ch is this button's access character and the button may take it.
    bool dialogChar(QChar ch);

    bool spacePressed_ = false;
    bool flat_ = false;
    TTextLayout layout_ = tlCenter;
    int marginX_ = -1;
    int marginY_ = -1;
    bool tabFocusUp_ = true;
    TColor bevelShadowColor_ = clBtnShadow;
    TColor bevelHighlightColor_ = clBtnHighlight;

    TAlignment alignment_ = taCenter;
    int bevelWidth_ = 1;
    TBorderStyle borderStyle_ = bsNone;
    TColor color_ = clBtnFace;
    Qt::BrushStyle brushStyle_ = Qt::SolidPattern;
    TColor fontColor_ = clWindowText;
    QString caption_;
    TBevelCut bevelOuter_ = bvRaised;
    TBevelCut bevelInner_ = bvNone;

    // Toolkit state the button keeps for itself.
    bool entered_ = false;     // is the window's active control (focus-gained effect given)
    bool pointerOver_ = false; // enter notice given, leave notice not yet
    bool captured_ = false;    // left press on the client area, not yet released
    bool clickArmed_ = false;  // that press was a single press, so its release may click
    // A Space release whose click waits for what follows it: its time, its key's code.
    std::optional<quint64> spaceReleasedAt_;
    quint32 spaceKeyCode_ = 0;
    QTimer spaceRelease_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TCuteButton::TShiftState)
