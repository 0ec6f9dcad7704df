#pragma once

#include <QColor>
#include <QWidget>

// The toolkit's panel: an outer bevel, a border of the panel's colour, an inner bevel, then
// the panel's colour filling the rest. Each bevel is raised (light above and left, shadow
// below and right), lowered, or absent; both are bevelWidth pixels wide. Children are placed
// relative to the panel's top-left corner.
class TPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(Bevel bevelOuter READ bevelOuter WRITE setBevelOuter)
    Q_PROPERTY(Bevel bevelInner READ bevelInner WRITE setBevelInner)
    Q_PROPERTY(int bevelWidth READ bevelWidth WRITE setBevelWidth)
    Q_PROPERTY(int borderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(QColor color READ color WRITE setColor)

public:
    enum Bevel { bvNone, bvLowered, bvRaised };
    Q_ENUM(Bevel)

    explicit TPanel(QWidget* parent = nullptr);

    Bevel bevelOuter() const { return bevelOuter_; }
    void setBevelOuter(Bevel bevel);
    Bevel bevelInner() const { return bevelInner_; }
    void setBevelInner(Bevel bevel);
    int bevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int width);
    int borderWidth() const { return borderWidth_; }
    void setBorderWidth(int width);
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
    QColor color_;
};
