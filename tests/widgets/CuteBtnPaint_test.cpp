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

// Lets a test choose the look directly.
class LookButton : public TCuteButton {
public:
    using TCuteButton::setBevelOuter;
    using TCuteButton::TCuteButton;
};

QImage render(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Saves the image when KW27_TEST_IMAGES names a folder, for looking at.
void keepImage(const QImage& image, const QString& name) {
    const QString folder = qEnvironmentVariable("KW27_TEST_IMAGES");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        image.save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

// Every pixel of the ring-th one-pixel ring of area (0 outermost): left column and top row in
// top, except the top-right and bottom-left corners, which are in bottom like the right column
// and the bottom row.
void expectRing(const QImage& image, const QRect& area, int ring, QRgb top, QRgb bottom,
                const std::string& what) {
    const QRect r = area.adjusted(ring, ring, -ring, -ring);
    int wrong = 0;
    auto check = [&](int x, int y, QRgb want) {
        if (image.pixel(x, y) != want && ++wrong <= 3)
            ADD_FAILURE() << what << ": ring " << ring << " pixel (" << x << "," << y << ") is "
                          << std::hex << image.pixel(x, y) << ", want " << want;
    };
    for (int x = r.left(); x < r.right(); ++x)
        check(x, r.top(), top);
    for (int y = r.top(); y < r.bottom(); ++y)
        check(r.left(), y, top);
    for (int y = r.top(); y <= r.bottom(); ++y)
        check(r.right(), y, bottom);
    for (int x = r.left(); x <= r.right(); ++x)
        check(x, r.bottom(), bottom);
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

QRect inset(const QRect& r, int by) {
    return r.adjusted(by, by, -by, -by);
}

void captionSetUp(B& b, const QString& caption) {
    b.resize(90, 50);
    b.setColor(clWhite);
    b.setFontColor(clBlack);
    b.setFont(kw27::pixelFont(QStringLiteral("ＭＳ ゴシック"), 16));
    b.setCaption(caption);
}

} // namespace

TEST(CuteButtonPaint, NewButtonIs75By25WithOneRaisedRingOnTheButtonFace) {
    B b;
    EXPECT_EQ(b.size(), QSize(75, 25));
    EXPECT_EQ(b.alignment(), B::taCenter);
    EXPECT_EQ(b.textLayout(), B::tlCenter);
    EXPECT_EQ(b.borderStyle(), B::bsNone);
    EXPECT_EQ(b.bevelWidth(), 1);
    EXPECT_EQ(std::make_pair(b.marginX(), b.marginY()), std::make_pair(-1, -1));
    EXPECT_TRUE(b.tabFocusUp() && b.tabStop() && !b.flat() && b.caption().isEmpty());
    EXPECT_EQ(b.bevelOuter(), B::bvNone);
    const QImage image = render(b);
    expectRing(image, image.rect(), 0, kWhite, kGrey, "new button");
    EXPECT_EQ(inkBox(image, inset(image.rect(), 1), qRgb(192, 192, 192)), QRect());
}

TEST(CuteButtonPaint, LooksDrawTheOuterThenTheInnerBevelPixelExactly) {
    enum Ring { R, L };
    struct Row {
        bool flat;
        B::TBevelCut look;
        int bevelWidth;
        QSize size;
        std::vector<Ring> rings; // one entry per one-pixel ring, outermost first
    };
    const Row rows[] = {
        {false, B::bvNone, 1, {40, 30}, {R}},
        {false, B::bvRaised, 1, {40, 30}, {R, R}},
        {false, B::bvLowered, 1, {40, 30}, {L, R}},
        {true, B::bvNone, 1, {40, 30}, {}},
        {true, B::bvRaised, 1, {40, 30}, {R}},
        {true, B::bvLowered, 1, {40, 30}, {L}},
        {false, B::bvRaised, 3, {40, 30}, {R, R, R, R, R, R}},
        {false, B::bvLowered, 2, {40, 30}, {L, L, R, R}},
        {true, B::bvLowered, 2, {40, 30}, {L, L}},
        {false, B::bvNone, 2, {4, 4}, {R, R}}, // the rings meet in the middle
    };
    for (const Row& row : rows) {
        LookButton b;
        b.resize(row.size);
        b.setColor(clWhite);
        b.setBevelHighlightColor(clYellow);
        b.setBevelShadowColor(clNavy);
        b.setBevelWidth(row.bevelWidth);
        b.setFlat(row.flat);
        b.setBevelOuter(row.look);
        const QImage image = render(b);
        const std::string what = "flat " + std::to_string(row.flat) + " look " +
                                 std::to_string(row.look) + " width " +
                                 std::to_string(row.bevelWidth);
        for (size_t i = 0; i < row.rings.size(); ++i)
            expectRing(image, image.rect(), int(i), row.rings[i] == R ? kYellow : kNavy,
                       row.rings[i] == R ? kNavy : kYellow, what);
        EXPECT_EQ(inkBox(image, inset(image.rect(), int(row.rings.size())), kWhite), QRect())
            << what << ": face";
    }
}

TEST(CuteButtonPaint, CaptionRectangleFollowsBevelsMarginsAndLook) {
    struct Row {
        const char* what;
        QSize size;
        int bevelWidth;
        bool flat;
        B::TBorderStyle border;
        B::TAlignment alignment;
        B::TTextLayout layout;
        int marginX;
        int marginY;
        B::TBevelCut look;
        QRect expected; // client coordinates
    };
    const auto C = B::taCenter, Le = B::taLeftJustify, Ri = B::taRightJustify;
    const auto T = B::tlTop, M = B::tlCenter, Bo = B::tlBottom;
    const QSize s(75, 25);
    const Row rows[] = {
        {"default", s, 1, false, B::bsNone, C, M, -1, -1, B::bvNone, {2, 2, 71, 21}},
        {"up does not move it", s, 1, false, B::bsNone, C, M, -1, -1, B::bvRaised, {2, 2, 71, 21}},
        {"pressed", s, 1, false, B::bsNone, C, M, -1, -1, B::bvLowered, {4, 4, 69, 19}},
        {"flat", s, 3, true, B::bsNone, C, M, -1, -1, B::bvNone, {3, 3, 69, 19}},
        {"not flat", s, 3, false, B::bsNone, C, M, -1, -1, B::bvNone, {6, 6, 63, 13}},
        // The composition key: client height h = 142 - 4, bottom edge at h - 10.
        {"key", {49, 142}, 2, false, B::bsSingle, C, Bo, -1, 6, B::bvNone, {4, 4, 37, 124}},
        {"key pressed",
         {49, 142},
         2,
         false,
         B::bsSingle,
         C,
         Bo,
         -1,
         6,
         B::bvLowered,
         {6, 6, 35, 122}},
        {"left margin", s, 1, false, B::bsNone, Le, M, 5, -1, B::bvNone, {7, 2, 66, 21}},
        {"right margin", s, 1, false, B::bsNone, Ri, M, 5, -1, B::bvNone, {2, 2, 66, 21}},
        {"top margin", s, 1, false, B::bsNone, C, T, -1, 3, B::bvNone, {2, 5, 71, 18}},
        {"centred ignores margins", s, 1, false, B::bsNone, C, M, 9, 9, B::bvNone, {2, 2, 71, 21}},
        {"below -1 is -1", s, 1, false, B::bsNone, Le, T, -5, -9, B::bvNone, {2, 2, 71, 21}},
        {"zero margins", s, 1, false, B::bsNone, Ri, Bo, 0, 0, B::bvNone, {2, 2, 71, 21}},
        {"bevel width below 1 is 1",
         s,
         0,
         false,
         B::bsNone,
         C,
         M,
         -1,
         -1,
         B::bvNone,
         {2, 2, 71, 21}},
    };
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
        EXPECT_EQ(b.captionRect(), row.expected) << row.what;
        EXPECT_GE(b.marginX(), -1) << row.what;
        EXPECT_GE(b.marginY(), -1) << row.what;
    }
}

TEST(CuteButtonPaint, CaptionMovesWithMarginsAndThePressedLook) {
    struct Row {
        B::TAlignment alignment;
        B::TTextLayout layout;
        int marginX;
        int marginY;
        B::TBevelCut look;
        QPoint move; // against the up look without margins
    };
    const Row rows[] = {
        {B::taCenter, B::tlCenter, -1, -1, B::bvNone, {0, 0}},
        {B::taCenter, B::tlCenter, -1, -1, B::bvLowered, {1, 1}},
        {B::taLeftJustify, B::tlTop, -1, -1, B::bvLowered, {2, 2}},
        {B::taRightJustify, B::tlBottom, -1, -1, B::bvLowered, {0, 0}},
        {B::taLeftJustify, B::tlBottom, -1, -1, B::bvLowered, {2, 0}},
        {B::taLeftJustify, B::tlCenter, 5, -1, B::bvRaised, {5, 0}},
        {B::taRightJustify, B::tlCenter, 5, -1, B::bvRaised, {-5, 0}},
        {B::taCenter, B::tlTop, -1, 3, B::bvRaised, {0, 3}},
        {B::taCenter, B::tlBottom, -1, 6, B::bvRaised, {0, -6}},
        {B::taCenter, B::tlCenter, 8, 8, B::bvRaised, {0, 0}},
    };
    for (const Row& row : rows) {
        LookButton b;
        captionSetUp(b, QStringLiteral("ド"));
        b.setAlignment(row.alignment);
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
        EXPECT_EQ(to.topLeft() - from.topLeft(), row.move)
            << "alignment " << row.alignment << " layout " << int(row.layout) << " look "
            << row.look << " margins " << row.marginX << "," << row.marginY;
        EXPECT_EQ(after.copy(to), before.copy(from)) << "moved, not drawn differently";
        EXPECT_TRUE(b.captionRect().contains(to));
    }
}

TEST(CuteButtonPaint, LongCaptionIsClippedToItsRectangle) {
    LookButton b;
    captionSetUp(b, QStringLiteral("WWWWWWWWWWWWWWWWWWWW"));
    b.resize(40, 30);
    b.setAlignment(B::taLeftJustify);
    b.setMarginX(6);
    b.setBevelOuter(B::bvRaised);
    const QImage image = render(b);
    expectRing(image, image.rect(), 1, kWhite, kGrey, "inner ring untouched");
    const QRect ink = inkBox(image, inset(image.rect(), 2), kWhite);
    EXPECT_TRUE(b.captionRect().contains(ink));
    EXPECT_EQ(ink.right(), b.captionRect().right()) << "the text runs on to the edge";
}

TEST(CuteButtonPaint, AmpersandUnderlinesTheNextCharacterAndTwoDrawOne) {
    auto shot = [](const char* caption) {
        LookButton b;
        captionSetUp(b, QString::fromUtf8(caption));
        b.setAlignment(B::taLeftJustify);
        return render(b);
    };
    const QImage marked = shot("&Ab");
    const QImage plain = shot("Ab");
    EXPECT_EQ(shot("Ab&"), plain) << "a final ampersand draws nothing";

    // Only pixels at the foot of the "A" are added.
    LookButton b;
    captionSetUp(b, QStringLiteral("Ab"));
    b.setAlignment(B::taLeftJustify);
    const int left = b.captionRect().left();
    const int right = left + QFontMetrics(b.font()).horizontalAdvance(QLatin1Char('A'));
    const QRect text = inkBox(plain, inset(plain.rect(), 2), kWhite);
    QRect added;
    for (int y = 0; y < marked.height(); ++y)
        for (int x = 0; x < marked.width(); ++x)
            if (marked.pixel(x, y) != plain.pixel(x, y)) {
                EXPECT_EQ(plain.pixel(x, y), kWhite);
                added |= QRect(x, y, 1, 1);
            }
    EXPECT_GE(added.width(), right - left - 2);
    EXPECT_GE(added.left(), left);
    EXPECT_LE(added.right(), right);
    EXPECT_GE(added.top(), text.bottom() - 2);

    // "&&" is one ampersand: "x&&y" is as wide as "xy" plus one ampersand.
    const int ampersand = QFontMetrics(b.font()).horizontalAdvance(QLatin1Char('&'));
    const QImage xy = shot("xy");
    const QImage xay = shot("x&&y");
    EXPECT_NEAR(inkBox(xay, inset(xay.rect(), 2), kWhite).width(),
                inkBox(xy, inset(xy.rect(), 2), kWhite).width() + ampersand, 1);
}

TEST(CuteButtonPaint, DisabledLooksTheSameAndPatternGapsShowTheParent) {
    LookButton b;
    captionSetUp(b, QStringLiteral("&Stop"));
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
    int red = 0;
    int blue = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            red += image.pixel(x, y) == qRgb(255, 0, 0);
            blue += image.pixel(x, y) == qRgb(0, 0, 255);
        }
    EXPECT_GT(red, image.width() * image.height() / 3);
    EXPECT_GT(blue, image.width() * image.height() / 10);
    EXPECT_EQ(red + blue, image.width() * image.height());
}

TEST(CuteButtonPaint, ExampleButtonsOfTheTwoPrograms) {
    struct Row {
        const char* name;
        QSize size;
        TColor face;
        TColor text;
        const char* caption;
        int marginY;
    };
    const Row rows[] = {
        {"composition-key", {49, 142}, clWhite, clBlue, "ド", 6},
        {"pitch-button", {65, 225}, clNavy, clSilver, "18.6cm", 122},
    };
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
            const QImage image = render(b);
            keepImage(image, QStringLiteral("%1-%2").arg(row.name).arg(int(look)));

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
            ASSERT_FALSE(ink.isEmpty()) << row.name;
            EXPECT_TRUE(box.contains(ink)) << row.name;
            // Centred: the same caption at the left edge lies half the free width further left.
            const QFontMetrics metrics(b.font());
            b.setAlignment(B::taLeftJustify);
            const QRect leftInk = inkBox(render(b), inside, face);
            const int free = box.width() - metrics.horizontalAdvance(b.caption());
            EXPECT_NEAR(ink.left() - leftInk.left(), free / 2, 1) << row.name;
            // At the bottom: the text cell ends at the rectangle's bottom edge.
            EXPECT_GE(ink.bottom(), box.bottom() - metrics.descent() - 3) << row.name;
            int textPixels = 0;
            for (int y = ink.top(); y <= ink.bottom(); ++y)
                for (int x = ink.left(); x <= ink.right(); ++x)
                    textPixels += image.pixel(x, y) == colorToRgb(row.text).rgb();
            EXPECT_GT(textPixels, 10) << row.name << ": caption in its own colour";
        }
}
