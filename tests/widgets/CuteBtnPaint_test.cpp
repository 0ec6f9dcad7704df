#include "CuteBtn.h"
#include "Fonts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFontMetrics>
#include <QImage>

using B = TCuteButton;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kGrey = qRgb(128, 128, 128);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kNavy = qRgb(0, 0, 128);

class LookButton : public TCuteButton {
public:
    using TCuteButton::setBevelOuter;
    using TCuteButton::TCuteButton;
};

// Saved as a PNG too when KW27_TEST_IMAGES names a folder, for looking at.
QImage render(QWidget& widget, const QString& keepAs = {}) {
    const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString folder = qEnvironmentVariable("KW27_TEST_IMAGES");
    if (!keepAs.isEmpty() && !folder.isEmpty() && QDir().mkpath(folder))
        image.save(QDir(folder).filePath(keepAs + QStringLiteral(".png")));
    return image;
}

QRect inset(const QRect& r, int by) {
    return r.adjusted(by, by, -by, -by);
}

// Every pixel of the ring-th one-pixel ring inside area: left column and top row in top, but the
// top-right and bottom-left corners in bottom, like the right column and the bottom row.
void expectRing(const QImage& image, const QRect& area, int ring, QRgb top, QRgb bottom,
                const std::string& what) {
    const QRect r = inset(area, ring);
    int wrong = 0;
    auto check = [&](int x, int y, QRgb want) {
        if (image.pixel(x, y) != want && ++wrong <= 3)
            ADD_FAILURE() << what << ": ring " << ring << " pixel (" << x << "," << y << ") is "
                          << std::hex << image.pixel(x, y) << ", want " << want;
    };
    for (int i = 0; i < r.width() - 1; ++i)
        check(r.left() + i, r.top(), top);
    for (int i = 0; i < r.height() - 1; ++i)
        check(r.left(), r.top() + i, top);
    for (int i = 0; i < r.height(); ++i)
        check(r.right(), r.top() + i, bottom);
    for (int i = 0; i < r.width(); ++i)
        check(r.left() + i, r.bottom(), bottom);
}

// Bounding box of the pixels of area that differ from background.
QRect inkBox(const QImage& image, const QRect& area, QRgb background) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

void captionSetUp(B& b, const char* caption, B::TAlignment alignment = B::taCenter) {
    b.resize(90, 50);
    b.setColor(clWhite);
    b.setFontColor(clBlack);
    b.setFont(kw27::pixelFont(QStringLiteral("ＭＳ ゴシック"), 16));
    b.setCaption(QString::fromUtf8(caption));
    b.setAlignment(alignment);
}

} // namespace

TEST(CuteButtonPaint, NewButtonIs75By25WithOneRaisedRingOnTheButtonFace) {
    B b;
    EXPECT_EQ(b.size(), QSize(75, 25));
    EXPECT_EQ(std::make_tuple(b.alignment(), b.textLayout(), b.borderStyle(), b.bevelWidth()),
              std::make_tuple(B::taCenter, B::tlCenter, B::bsNone, 1));
    EXPECT_EQ(std::make_pair(b.marginX(), b.marginY()), std::make_pair(-1, -1));
    EXPECT_TRUE(b.tabFocusUp() && b.tabStop() && !b.flat() && b.caption().isEmpty());
    const QImage image = render(b);
    expectRing(image, image.rect(), 0, kWhite, kGrey, "new button");
    EXPECT_EQ(inkBox(image, inset(image.rect(), 1), qRgb(192, 192, 192)), QRect());
}

TEST(CuteButtonPaint, LooksDrawTheOuterThenTheInnerBevelPixelExactly) {
    struct Row {
        bool flat;
        B::TBevelCut look;
        int bevelWidth;
        int size;
        const char* rings; // R raised, L lowered: one letter per one-pixel ring, outermost first
    };
    // clang-format off
    const Row rows[] = {
        {false, B::bvNone, 1, 30, "R"},  {false, B::bvRaised, 1, 30, "RR"},
        {false, B::bvLowered, 1, 30, "LR"}, {true, B::bvNone, 1, 30, ""},
        {true, B::bvRaised, 1, 30, "R"}, {true, B::bvLowered, 1, 30, "L"},
        {false, B::bvRaised, 3, 30, "RRRRRR"}, {false, B::bvLowered, 2, 30, "LLRR"},
        {true, B::bvLowered, 2, 30, "LL"}, {false, B::bvNone, 2, 4, "RR"},  // rings meet
    };
    // clang-format on
    for (const Row& row : rows) {
        LookButton b;
        b.resize(row.size + 10, row.size);
        b.setColor(clWhite);
        b.setBevelHighlightColor(clYellow);
        b.setBevelShadowColor(clNavy);
        b.setBevelWidth(row.bevelWidth);
        b.setFlat(row.flat);
        b.setBevelOuter(row.look);
        const QImage image = render(b);
        const std::string rings = row.rings;
        for (size_t i = 0; i < rings.size(); ++i)
            expectRing(image, image.rect(), int(i), rings[i] == 'R' ? kYellow : kNavy,
                       rings[i] == 'R' ? kNavy : kYellow, rings);
        EXPECT_EQ(inkBox(image, inset(image.rect(), int(rings.size())), kWhite), QRect())
            << rings << ": face";
    }
}

TEST(CuteButtonPaint, CaptionRectangleFollowsBevelsMarginsAndLook) {
    struct Row {
        QSize size;
        int bevelWidth;
        bool flat;
        B::TBorderStyle border;
        B::TAlignment alignment;
        B::TTextLayout layout;
        int marginX, marginY;
        B::TBevelCut look;
        QRect expected; // client coordinates
    };
    const auto C = B::taCenter, Le = B::taLeftJustify, Ri = B::taRightJustify;
    const auto T = B::tlTop, M = B::tlCenter, Bo = B::tlBottom;
    const auto no = B::bsNone;
    const QSize s(75, 25), key(49, 142);
    // clang-format off
    const Row rows[] = {
        {s, 1, false, no, C, M, -1, -1, B::bvNone, {2, 2, 71, 21}},
        {s, 1, false, no, C, M, -1, -1, B::bvRaised, {2, 2, 71, 21}},  // up does not move it
        {s, 1, false, no, C, M, -1, -1, B::bvLowered, {4, 4, 69, 19}},
        {s, 3, true, no, C, M, -1, -1, B::bvNone, {3, 3, 69, 19}},
        {s, 3, false, no, C, M, -1, -1, B::bvNone, {6, 6, 63, 13}},
        // The composition key: client height h = 142 - 4, bottom edge at h - 10.
        {key, 2, false, B::bsSingle, C, Bo, -1, 6, B::bvNone, {4, 4, 37, 124}},
        {key, 2, false, B::bsSingle, C, Bo, -1, 6, B::bvLowered, {6, 6, 35, 122}},
        {s, 1, false, no, Le, M, 5, -1, B::bvNone, {7, 2, 66, 21}},
        {s, 1, false, no, Ri, M, 5, -1, B::bvNone, {2, 2, 66, 21}},
        {s, 1, false, no, C, T, -1, 3, B::bvNone, {2, 5, 71, 18}},
        {s, 1, false, no, C, M, 9, 9, B::bvNone, {2, 2, 71, 21}},     // centred: no margins
        {s, 1, false, no, Le, T, -5, -9, B::bvNone, {2, 2, 71, 21}},  // below -1 is -1
        {s, 1, false, no, Ri, Bo, 0, 0, B::bvNone, {2, 2, 71, 21}},
        {s, 0, false, no, C, M, -1, -1, B::bvNone, {2, 2, 71, 21}},   // bevel width at least 1
    };
    // clang-format on
    for (const Row& row : rows) {
        LookButton b;
        b.resize(row.size);
        b.setBevelWidth(row.bevelWidth);
        b.setFlat(row.flat);
        b.setBorderStyle(row.border);
        b.setAlignment(row.alignment);
        b.setLayout(row.layout);
        b.setMarginX(row.marginX);
        b.setMarginY(row.marginY);
        b.setBevelOuter(row.look);
        EXPECT_EQ(b.captionRect(), row.expected) << &row - rows;
        EXPECT_GE(std::min(b.marginX(), b.marginY()), -1) << &row - rows;
    }
}

TEST(CuteButtonPaint, CaptionMovesWithMarginsAndThePressedLook) {
    struct Row {
        B::TAlignment alignment;
        B::TTextLayout layout;
        int marginX, marginY;
        B::TBevelCut look;
        QPoint move; // against the up look without margins
    };
    const auto C = B::taCenter, Le = B::taLeftJustify, Ri = B::taRightJustify;
    const auto T = B::tlTop, M = B::tlCenter, Bo = B::tlBottom;
    // clang-format off
    const Row rows[] = {
        {C, M, -1, -1, B::bvNone, {0, 0}},    {C, M, -1, -1, B::bvLowered, {1, 1}},
        {Le, T, -1, -1, B::bvLowered, {2, 2}}, {Ri, Bo, -1, -1, B::bvLowered, {0, 0}},
        {Le, Bo, -1, -1, B::bvLowered, {2, 0}}, {Le, M, 5, -1, B::bvRaised, {5, 0}},
        {Ri, M, 5, -1, B::bvRaised, {-5, 0}},  {C, T, -1, 3, B::bvRaised, {0, 3}},
        {C, Bo, -1, 6, B::bvRaised, {0, -6}},  {C, M, 8, 8, B::bvRaised, {0, 0}},
    };
    // clang-format on
    for (const Row& row : rows) {
        LookButton b;
        captionSetUp(b, "ド", row.alignment);
        b.setLayout(row.layout);
        b.setBevelOuter(B::bvRaised);
        const QImage before = render(b);
        const QRect from = inkBox(before, inset(before.rect(), 2), kWhite);
        b.setMarginX(row.marginX);
        b.setMarginY(row.marginY);
        b.setBevelOuter(row.look);
        const QImage after = render(b);
        const QRect to = inkBox(after, inset(after.rect(), 2), kWhite);
        ASSERT_FALSE(from.isEmpty());
        EXPECT_EQ(to.topLeft() - from.topLeft(), row.move) << &row - rows;
        EXPECT_EQ(after.copy(to), before.copy(from)) << &row - rows << ": drawn the same";
        EXPECT_TRUE(b.captionRect().contains(to)) << &row - rows;
    }
}

TEST(CuteButtonPaint, LongCaptionIsClippedToItsRectangle) {
    LookButton b;
    captionSetUp(b, "WWWWWWWWWWWWWWWWWWWW", B::taLeftJustify);
    b.resize(40, 30);
    b.setMarginX(6);
    b.setBevelOuter(B::bvRaised);
    const QImage image = render(b);
    expectRing(image, image.rect(), 1, kWhite, kGrey, "inner ring untouched");
    const QRect ink = inkBox(image, inset(image.rect(), 2), kWhite);
    EXPECT_TRUE(b.captionRect().contains(ink));
    EXPECT_EQ(ink.right(), b.captionRect().right()) << "the text runs on to the edge";
}

TEST(CuteButtonPaint, AmpersandUnderlinesTheNextCharacterAndTwoDrawOne) {
    LookButton b;
    auto shot = [&b](const char* caption) {
        captionSetUp(b, caption, B::taLeftJustify);
        return render(b);
    };
    const QImage marked = shot("&Ab");
    const QImage plain = shot("Ab");
    EXPECT_EQ(shot("Ab&"), plain) << "a final ampersand draws nothing";

    // Only pixels at the foot of the "A" are added.
    const QFontMetrics metrics(b.font());
    const int left = b.captionRect().left();
    const int right = left + metrics.horizontalAdvance(QLatin1Char('A'));
    const QRect text = inkBox(plain, inset(plain.rect(), 2), kWhite);
    QRect added;
    for (int y = 0; y < marked.height(); ++y)
        for (int x = 0; x < marked.width(); ++x)
            if (marked.pixel(x, y) != plain.pixel(x, y))
                added |= QRect(x, y, 1, 1);
    EXPECT_GE(added.width(), right - left - 2);
    EXPECT_TRUE(added.left() >= left && added.right() <= right && added.top() >= text.bottom() - 2)
        << added.left() << "-" << added.right() << " from " << added.top();

    // "x&&y" is as wide as "xy" plus one ampersand.
    const QImage xy = shot("xy");
    const QImage xay = shot("x&&y");
    EXPECT_NEAR(inkBox(xay, inset(xay.rect(), 2), kWhite).width(),
                inkBox(xy, inset(xy.rect(), 2), kWhite).width() +
                    metrics.horizontalAdvance(QLatin1Char('&')),
                1);
}

TEST(CuteButtonPaint, DisabledLooksTheSameAndPatternGapsShowTheParent) {
    LookButton b;
    captionSetUp(b, "&Stop");
    b.setBevelOuter(B::bvRaised);
    const QImage enabled = render(b);
    b.setEnabled(false);
    EXPECT_EQ(render(b), enabled);

    QWidget parent;
    parent.resize(100, 60);
    parent.setAutoFillBackground(true);
    parent.setPalette(QPalette(Qt::red));
    B hatched(&parent);
    hatched.setColor(clBlue);
    hatched.setFlat(true);
    hatched.setBrushStyle(Qt::DiagCrossPattern);
    const QImage image = render(parent).copy(hatched.geometry());
    const int all = image.width() * image.height();
    int red = 0, blue = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            red += image.pixel(x, y) == qRgb(255, 0, 0);
            blue += image.pixel(x, y) == qRgb(0, 0, 255);
        }
    EXPECT_TRUE(red > all / 3 && blue > all / 10 && red + blue == all) << red << "+" << blue;
}

TEST(CuteButtonPaint, ExampleButtonsOfTheTwoPrograms) {
    struct Row {
        const char* name;
        QSize size;
        TColor face, text;
        const char* caption;
        int marginY;
    };
    const Row rows[] = {{"composition-key", {49, 142}, clWhite, clBlue, "ド", 6},
                        {"pitch-button", {65, 225}, clNavy, clSilver, "18.6cm", 122}};
    for (const Row& row : rows)
        for (const B::TBevelCut look : {B::bvNone, B::bvRaised, B::bvLowered}) {
            LookButton b;
            b.resize(row.size);
            b.setColor(row.face);
            b.setFontColor(row.text);
            b.setBevelWidth(2);
            b.setBorderStyle(B::bsSingle);
            b.setFont(kw27::pixelFont(QStringLiteral("ＭＳ ゴシック"), 16, true));
            b.setCaption(QString::fromUtf8(row.caption));
            b.setLayout(B::tlBottom);
            b.setMarginY(row.marginY);
            b.setBevelOuter(look);
            const QImage image = render(b, QStringLiteral("%1-%2").arg(row.name).arg(look));

            // The sunken edge, then the bevels inside it.
            expectRing(image, image.rect(), 0, kGrey, kWhite, row.name);
            expectRing(image, image.rect(), 1, qRgb(0, 0, 0), qRgb(223, 223, 223), row.name);
            const int rings = look == B::bvNone ? 2 : 4;
            for (int ring = 0; ring < rings; ++ring) {
                const bool lowered = look == B::bvLowered && ring < 2;
                expectRing(image, inset(image.rect(), 2), ring, lowered ? kGrey : kWhite,
                           lowered ? kWhite : kGrey, row.name);
            }
            const QRgb face = colorToRgb(row.face).rgb();
            const QRect inside = inset(image.rect(), 2 + rings);
            const QRect ink = inkBox(image, inside, face);
            const QRect box = b.captionRect().translated(2, 2);
            ASSERT_TRUE(box.contains(ink) && !ink.isEmpty()) << row.name;
            // At the bottom: the text cell ends at the rectangle's bottom edge.
            const QFontMetrics metrics(b.font());
            EXPECT_GE(ink.bottom(), box.bottom() - metrics.descent() - 3) << row.name;
            EXPECT_GT(std::count(reinterpret_cast<const QRgb*>(image.constBits()),
                                 reinterpret_cast<const QRgb*>(image.constBits()) +
                                     image.width() * image.height(),
                                 colorToRgb(row.text).rgb()),
                      10)
                << row.name << ": caption in its own colour";
            // Centred: the same caption at the left edge lies half the free width further left.
            b.setAlignment(B::taLeftJustify);
            const QRect leftInk = inkBox(render(b), inside, face);
            const int free = box.width() - metrics.horizontalAdvance(b.caption());
            EXPECT_NEAR(ink.left() - leftInk.left(), free / 2, 1) << row.name;
        }
}
