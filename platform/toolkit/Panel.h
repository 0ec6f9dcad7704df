#pragma once

#include <QColor>
#include <QWidget>

// The toolkit's panel: an outer bevel, a border of the panel's colour, an inner bevel, then
// the panel's colour filling the rest. Each bevel is raised (light above and left, shadow
// below and right), lowered, or absent; both are bevelWidth pixels wide. With borderStyle
// bsSingle all of that lies inside the platform's two-pixel sunken edge, which is not part of
// the client area. Children are placed relative to the panel's top-left corner: a layout that
// counts from the client area adds clientRect()'s top-left.
class TPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(Bevel bevelOuter READ bevelOuter WRITE setBevelOuter)
    Q_PROPERTY(Bevel bevelInner READ bevelInner WRITE setBevelInner)
    Q_PROPERTY(int bevelWidth READ bevelWidth WRITE setBevelWidth)
    Q_PROPERTY(int borderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(BorderStyle borderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(QColor color READ color WRITE setColor)

public:
    enum Bevel { bvNone, bvLowered, bvRaised };
    Q_ENUM(Bevel)
    enum BorderStyle { bsNone, bsSingle };
    Q_ENUM(BorderStyle)

    explicit TPanel(QWidget* parent = nullptr);

    Bevel bevelOuter() const { return bevelOuter_; }
    void setBevelOuter(Bevel bevel);
    Bevel bevelInner() const { return bevelInner_; }
    void setBevelInner(Bevel bevel);
    int bevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int width);
    int borderWidth() const { return borderWidth_; }
    void setBorderWidth(int width);
    BorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(BorderStyle style);
    // The area inside the sunken edge of bsSingle (all of the panel otherwise), in the panel's
    // own coordinates.
    QRect clientRect() const;
    // The fill; button face unless set.
    QColor color() const;
    void setColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Bevel bevelOuter_ = bvRaised;
    Bevel bevelInner_ = bvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    BorderStyle borderStyle_ = bsNone;
    QColor color_;
};
