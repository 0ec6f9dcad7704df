#include "CuteBtnFixture.h"
#include "Fonts.h"

#include <QFontMetrics>

using kw27::test::expectFilled;
using kw27::test::expectRing;
using kw27::test::inkBox;
using kw27::test::keepImage;
using kw27::test::LookButton;
using kw27::test::render;
using B = TCuteButton;

namespace {

const QRgb kFace = qRgb(255, 255, 255); // clWhite
const QRgb kDark = qRgb(0, 0, 128);     // clNavy

// A button with distinct bevel colours so that a swapped pair cannot pass.
void paintColours(B& b) {
    b.setColor(clWhite);
    b.setBevelHighlightColor(clYellow);
    b.setBevelShadowColor(clNavy);
}

QRect interior(const QImage& image, int rings) {
    return QRect(0, 0, image.width(), image.height()).adjusted(rings, rings, -rings, -rings);
}

} // namespace

TEST(CuteButtonPaint, NewButtonShowsOneRaisedRingOfWidthOneOnTheButtonFace) {
    B b;
    EXPECT_EQ(b.size(), QSize(75, 25));
    EXPECT_EQ(b.color(), clBtnFace);
    EXPECT_EQ(b.alignment(), B::taCenter);
    EXPECT_EQ(b.textLayout(), B::tlCenter);
    EXPECT_EQ(b.bevelWidth(), 1);
    EXPECT_EQ(b.bevelHighlightColor(), clBtnHighlight);
    EXPECT_EQ(b.bevelShadowColor(), clBtnShadow);
    EXPECT_EQ(b.borderStyle(), B::bsNone);
    EXPECT_EQ(b.marginX(), -1);
    EXPECT_EQ(b.marginY(), -1);
    EXPECT_TRUE(b.caption().isEmpty());
    EXPECT_FALSE(b.flat());
    EXPECT_TRUE(b.tabFocusUp());
    EXPECT_TRUE(b.tabStop());
    EXPECT_TRUE(b.isEnabled());
    EXPECT_EQ(b.bevelOuter(), B::bvNone);
    EXPECT_EQ(b.bevelInner(), B::bvRaised);

    const QImage image = render(b);
    expectRing(image, image.rect(), 0, qRgb(255, 255, 255), qRgb(128, 128, 128), "new button");
    expectFilled(image, interior(image, 1), qRgb(192, 192, 192), "new button face");
}

TEST(CuteButtonPaint, LooksDrawTheOuterRingThenTheInnerRingPixelExactly) {
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
        {false, B::bvNone, 2, {49, 142}, {R, R}},
        {false, B::bvRaised, 3, {40, 30}, {R, R, R, R, R, R}},
        {false, B::bvLowered, 2, {40, 30}, {L, L, R, R}},
        {true, B::bvLowered, 2, {40, 30}, {L, L}},
        {false, B::bvNone, 2, {4, 4}, {R, R}}, // the rings meet in the middle
    };
    for (const Row& row : rows) {
        LookButton b;
        paintColours(b);
        b.resize(row.size);
        b.setBevelWidth(row.bevelWidth);
        b.setFlat(row.flat);
        b.setBevelOuter(row.look);
        const QImage image = render(b);
        const std::string what = "flat " + std::to_string(row.flat) + " look " +
                                 std::to_string(row.look) + " width " +
                                 std::to_string(row.bevelWidth);
        const QRgb yellow = qRgb(255, 255, 0);
        for (size_t i = 0; i < row.rings.size(); ++i) {
            if (row.rings[i] == R)
                expectRing(image, image.rect(), int(i), yellow, kDark, what);
            else
                expectRing(image, image.rect(), int(i), kDark, yellow, what);
        }
        const QRect inside = interior(image, int(row.rings.size()));
        if (!inside.isEmpty())
            expectFilled(image, inside, kFace, what + " face");
    }
}

TEST(CuteButtonPaint, BevelColourSettersStoreAndRepaintOnlyOnChange) {
    LookButton b;
    b.setBevelOuter(B::bvRaised);
    b.setBevelHighlightColor(clLime);
    b.setBevelShadowColor(clMaroon);
    b.setColor(clTeal);
    const QImage image = render(b);
    expectRing(image, image.rect(), 0, qRgb(0, 255, 0), qRgb(128, 0, 0), "outer");
    expectRing(image, image.rect(), 1, qRgb(0, 255, 0), qRgb(128, 0, 0), "inner");
    expectFilled(image, interior(image, 2), qRgb(0, 128, 128), "teal face");
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
    const Row rows[] = {
        {"default",
         {75, 25},
         1,
         false,
         B::bsNone,
         B::taCenter,
         B::tlCenter,
         -1,
         -1,
         B::bvNone,
         QRect(2, 2, 71, 21)},
        {"up look does not move it",
         {75, 25},
         1,
         false,
         B::bsNone,
         B::taCenter,
         B::tlCenter,
         -1,
         -1,
         B::bvRaised,
         QRect(2, 2, 71, 21)},
        {"pressed shrinks left and top by 2",
         {75, 25},
         1,
         false,
         B::bsNone,
         B::taCenter,
         B::tlCenter,
         -1,
         -1,
         B::bvLowered,
         QRect(4, 4, 69, 19)},
        {"flat insets one bevel width",
         {75, 25},
         3,
         true,
         B::bsNone,
         B::taCenter,
         B::tlCenter,
         -1,
         -1,
         B::bvNone,
         QRect(3, 3, 69, 19)},
        {"not flat insets two",
         {75, 25},
         3,
         false,
         B::bsNone,
         B::taCenter,
         B::tlCenter,
         -1,
         -1,
         B::bvNone,
         QRect(6, 6, 63, 13)},
        // The composition key: client height h = 142 - 4, bottom edge at h - 10.
        {"key bottom margin",
         {49, 142},
         2,
         false,
         B::bsSingle,
         B::taCenter,
         B::tlBottom,
         -1,
         6,
         B::bvNone,
         QRect(4, 4, 37, 124)},
        {"key pressed",
         {49, 142},
         2,
         false,
         B::bsSingle,
         B::taCenter,
         B::tlBottom,
         -1,
         6,
         B::bvLowered,
         QRect(6, 6, 35, 122)},
        {"pitch button",
         {65, 225},
         2,
         false,
         B::bsSingle,
         B::taCenter,
         B::tlBottom,
         -1,
         122,
         B::bvNone,
         QRect(4, 4, 53, 91)},
        {"left margin",
         {75, 25},
         1,
         false,
         B::bsNone,
         B::taLeftJustify,
         B::tlCenter,
         5,
         -1,
         B::bvNone,
         QRect(7, 2, 66, 21)},
        {"right margin",
         {75, 25},
         1,
         false,
         B::bsNone,
         B::taRightJustify,
         B::tlCenter,
         5,
         -1,
         B::bvNone,
         QRect(2, 2, 66, 21)},
        {"top margin",
         {75, 25},
         1,
         false,
         B::bsNone,
         B::taCenter,
         B::tlTop,
         -1,
         3,
         B::bvNone,
         QRect(2, 5, 71, 18)},
        {"MarginX unused when centred",
         {75, 25},
         1,
         false,
         B::bsNone,
         B::taCenter,
         B::tlCenter,
         9,
         -1,
         B::bvNone,
         QRect(2, 2, 71, 21)},
        {"MarginY unused when centred",
         {75, 25},
         1,
         false,
         B::bsNone,
         B::taCenter,
         B::tlCenter,
         -1,
         9,
         B::bvNone,
         QRect(2, 2, 71, 21)},
        {"-1 means no margin",
         {75, 25},
         1,
         false,
         B::bsNone,
         B::taLeftJustify,
         B::tlTop,
         -1,
         -1,
         B::bvNone,
         QRect(2, 2, 71, 21)},
        {"zero margins count",
         {75, 25},
         1,
         false,
         B::bsNone,
         B::taRightJustify,
         B::tlBottom,
         0,
         0,
         B::bvNone,
         QRect(2, 2, 71, 21)},
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
    }
}

TEST(CuteButtonPaint, MarginsBelowMinusOneAreStoredAsMinusOneAndBevelWidthStaysPositive) {
    B b;
    b.setMarginX(-5);
    b.setMarginY(-100);
    EXPECT_EQ(b.marginX(), -1);
    EXPECT_EQ(b.marginY(), -1);
    b.setMarginX(0);
    EXPECT_EQ(b.marginX(), 0);
    b.setBevelWidth(0);
    EXPECT_EQ(b.bevelWidth(), 1);
}

TEST(CuteButtonPaint, FlatFollowsTheInnerBevel) {
    B b;
    b.setFlat(true);
    EXPECT_EQ(b.bevelInner(), B::bvNone);
    b.setFlat(false);
    EXPECT_EQ(b.bevelInner(), B::bvRaised);
}

namespace {

// Renders a caption button and returns the ink inside the inner ring.
struct CaptionShot {
    QImage image;
    QRect ink;
};

CaptionShot shoot(LookButton& b, B::TBevelCut look) {
    b.setBevelOuter(look);
    CaptionShot shot;
    shot.image = render(b);
    shot.ink = inkBox(shot.image, interior(shot.image, 2 * b.bevelWidth()), kFace);
    return shot;
}

void setUpCaption(LookButton& b, const QString& caption) {
    b.resize(90, 50);
    b.setColor(clWhite);
    b.setFontColor(clBlack);
    b.setFont(kw27::pixelFont(QStringLiteral("ＭＳ ゴシック"), 16));
    b.setCaption(caption);
}

bool sameInk(const CaptionShot& a, const CaptionShot& b) {
    if (a.ink.size() != b.ink.size())
        return false;
    return a.image.copy(a.ink) == b.image.copy(b.ink);
}

} // namespace

TEST(CuteButtonPaint, PressedLookNudgesTheCaptionByAlignmentAndLayout) {
    struct Row {
        B::TAlignment alignment;
        B::TTextLayout layout;
        QPoint move;
    };
    const Row rows[] = {
        {B::taCenter, B::tlCenter, {1, 1}},       {B::taLeftJustify, B::tlTop, {2, 2}},
        {B::taRightJustify, B::tlBottom, {0, 0}}, {B::taLeftJustify, B::tlBottom, {2, 0}},
        {B::taRightJustify, B::tlTop, {0, 2}},    {B::taCenter, B::tlBottom, {1, 0}},
    };
    for (const Row& row : rows) {
        LookButton b;
        setUpCaption(b, QStringLiteral("ド"));
        b.setAlignment(row.alignment);
        b.setLayout(row.layout);
        const CaptionShot rest = shoot(b, B::bvNone);
        const CaptionShot up = shoot(b, B::bvRaised);
        const CaptionShot pressed = shoot(b, B::bvLowered);
        ASSERT_FALSE(rest.ink.isEmpty());
        EXPECT_EQ(up.ink, rest.ink) << "the caption does not move between rest and up";
        EXPECT_EQ(pressed.ink.topLeft() - up.ink.topLeft(), row.move)
            << "alignment " << row.alignment << " layout " << int(row.layout);
        EXPECT_TRUE(sameInk(up, pressed)) << "the glyphs are moved, not drawn differently";
    }
}

TEST(CuteButtonPaint, MarginsMoveTheCaptionByTheirValue) {
    struct Row {
        B::TAlignment alignment;
        B::TTextLayout layout;
        int marginX;
        int marginY;
        QPoint move;
    };
    const Row rows[] = {
        {B::taLeftJustify, B::tlCenter, 5, -1, {5, 0}},
        {B::taRightJustify, B::tlCenter, 5, -1, {-5, 0}},
        {B::taCenter, B::tlTop, -1, 3, {0, 3}},
        {B::taCenter, B::tlBottom, -1, 6, {0, -6}},
        {B::taLeftJustify, B::tlTop, 4, 4, {4, 4}},
        {B::taCenter, B::tlCenter, 8, 8, {0, 0}},
        {B::taLeftJustify, B::tlBottom, -7, -7, {0, 0}},
    };
    for (const Row& row : rows) {
        LookButton plain;
        setUpCaption(plain, QStringLiteral("ド"));
        plain.setAlignment(row.alignment);
        plain.setLayout(row.layout);
        LookButton margined;
        setUpCaption(margined, QStringLiteral("ド"));
        margined.setAlignment(row.alignment);
        margined.setLayout(row.layout);
        margined.setMarginX(row.marginX);
        margined.setMarginY(row.marginY);
        const CaptionShot a = shoot(plain, B::bvNone);
        const CaptionShot b = shoot(margined, B::bvNone);
        EXPECT_EQ(b.ink.topLeft() - a.ink.topLeft(), row.move)
            << "alignment " << row.alignment << " layout " << int(row.layout) << " margins "
            << row.marginX << "," << row.marginY;
        EXPECT_TRUE(margined.captionRect().contains(b.ink));
    }
}

TEST(CuteButtonPaint, LongCaptionIsClippedToItsRectangle) {
    LookButton b;
    setUpCaption(b, QStringLiteral("WWWWWWWWWWWWWWWWWWWW"));
    b.resize(40, 30);
    b.setBevelHighlightColor(clYellow);
    b.setBevelShadowColor(clNavy);
    b.setAlignment(B::taLeftJustify);
    b.setMarginX(6);
    const CaptionShot shot = shoot(b, B::bvRaised);
    const QRect box = b.captionRect();
    EXPECT_EQ(shot.ink.left(), box.left());
    EXPECT_EQ(shot.ink.right(), box.right()) << "text reaches the right edge and stops there";
    EXPECT_TRUE(box.contains(shot.ink));
    expectRing(shot.image, shot.image.rect(), 0, qRgb(255, 255, 0), kDark, "outer ring");
    expectRing(shot.image, shot.image.rect(), 1, qRgb(255, 255, 0), kDark, "inner ring");
}

TEST(CuteButtonPaint, AmpersandUnderlinesTheNextCharacterOnly) {
    LookButton marked;
    setUpCaption(marked, QStringLiteral("&Ab"));
    marked.setAlignment(B::taLeftJustify);
    LookButton plain;
    setUpCaption(plain, QStringLiteral("Ab"));
    plain.setAlignment(B::taLeftJustify);
    const CaptionShot m = shoot(marked, B::bvNone);
    const CaptionShot p = shoot(plain, B::bvNone);

    // Only pixels under the "A" are added.
    const QFontMetrics metrics(marked.font());
    const int aLeft = marked.captionRect().left();
    const int aRight = aLeft + metrics.horizontalAdvance(QStringLiteral("A"));
    int added = 0;
    for (int y = 0; y < m.image.height(); ++y)
        for (int x = 0; x < m.image.width(); ++x) {
            if (m.image.pixel(x, y) == p.image.pixel(x, y))
                continue;
            ++added;
            EXPECT_EQ(p.image.pixel(x, y) & 0xFFFFFF, kFace & 0xFFFFFF) << x << "," << y;
            EXPECT_GE(x, aLeft);
            EXPECT_LT(x, aRight);
            EXPECT_GT(y, p.ink.bottom() - 3) << "the underline lies at the foot of the text";
        }
    EXPECT_GT(added, 3);

    struct Row {
        const char* caption;
        const char* sameAs;
    };
    const Row same[] = {{"Ab&", "Ab"}, {"&&", "&"}, {"x&&y", "x&y"}};
    for (const Row& row : same) {
        LookButton a;
        setUpCaption(a, QString::fromUtf8(row.caption));
        LookButton b;
        setUpCaption(b, QString::fromUtf8(row.sameAs));
        b.setCaption(QString(b.caption()).replace(QStringLiteral("&"), QStringLiteral("&&")));
        EXPECT_EQ(render(a), render(b)) << row.caption;
    }
}

TEST(CuteButtonPaint, AccessCharacterIsTheFirstUnderlinedOne) {
    struct Row {
        const char* caption;
        QChar expected;
    };
    const Row rows[] = {
        {"&Play", u'P'}, {"Pl&ay", u'a'}, {"Play&", QChar()}, {"Play", QChar()}, {"A&&B", QChar()},
        {"&&&x", u'x'},  {"&a&b", u'a'},  {"&", QChar()},     {"&ド", u'ド'},
    };
    for (const Row& row : rows) {
        B b;
        b.setCaption(QString::fromUtf8(row.caption));
        EXPECT_EQ(b.accessCharacter(), row.expected) << row.caption;
    }
}

TEST(CuteButtonPaint, DisabledButtonPaintsInItsNormalColours) {
    LookButton b;
    setUpCaption(b, QStringLiteral("&Stop"));
    b.setBevelOuter(B::bvRaised);
    const QImage enabled = render(b);
    b.setEnabled(false);
    EXPECT_EQ(render(b), enabled);
}

TEST(CuteButtonPaint, PatternedBrushLeavesItsGapsUnpainted) {
    QWidget parent;
    parent.resize(100, 60);
    parent.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::red);
    parent.setPalette(palette);
    B b(&parent);
    b.setColor(clBlue);
    b.setFlat(true);
    b.setBrushStyle(Qt::DiagCrossPattern);
    const QImage image = render(parent);
    int red = 0;
    int blue = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            const QRgb c = image.pixel(x, y) & 0xFFFFFF;
            red += c == 0xFF0000;
            blue += c == 0x0000FF;
        }
    EXPECT_GT(red, b.width() * b.height() / 3);
    EXPECT_GT(blue, b.width() * b.height() / 10);
    EXPECT_EQ(red + blue, b.width() * b.height());
}

TEST(CuteButtonPaint, SingleBorderIsASunkenEdgeWithTheButtonInside) {
    LookButton b;
    paintColours(b);
    b.resize(40, 30);
    b.setBorderStyle(B::bsSingle);
    b.setBevelOuter(B::bvRaised);
    const QImage image = render(b);
    expectRing(image, image.rect(), 0, qRgb(128, 128, 128), qRgb(255, 255, 255), "edge outer");
    expectRing(image, image.rect(), 1, qRgb(0, 0, 0), qRgb(223, 223, 223), "edge inner");
    expectRing(image, image.rect(), 2, qRgb(255, 255, 0), kDark, "outer bevel");
    expectRing(image, image.rect(), 3, qRgb(255, 255, 0), kDark, "inner bevel");
    expectFilled(image, interior(image, 4), kFace, "face");
    EXPECT_EQ(b.clientRect(), QRect(0, 0, 36, 26));
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
    for (const Row& row : rows) {
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

            const int rings = look == B::bvNone ? 2 : 4;
            const QRgb face = colorToRgb(row.face).rgb();
            for (int ring = 0; ring < rings; ++ring) {
                const bool lowered = look == B::bvLowered && ring < 2;
                expectRing(image, image.rect().adjusted(2, 2, -2, -2), ring,
                           lowered ? qRgb(128, 128, 128) : qRgb(255, 255, 255),
                           lowered ? qRgb(255, 255, 255) : qRgb(128, 128, 128), row.name);
            }
            const QRect inside =
                image.rect().adjusted(2 + rings, 2 + rings, -2 - rings, -2 - rings);
            const QRect ink = inkBox(image, inside, face);
            const QRect box = b.captionRect().translated(2, 2);
            ASSERT_FALSE(ink.isEmpty()) << row.name;
            EXPECT_TRUE(box.contains(ink)) << row.name;
            // Centred: the same caption placed at the left edge lies half the free width
            // further left.
            const QFontMetrics metrics(b.font());
            b.setAlignment(B::taLeftJustify);
            const QRect leftInk = inkBox(render(b), inside, face);
            b.setAlignment(B::taCenter);
            const int free = box.width() - metrics.horizontalAdvance(b.caption());
            EXPECT_NEAR(ink.left() - leftInk.left(), free / 2, 1) << row.name;
            // Placed at the bottom: the text cell ends at the rectangle's bottom edge.
            EXPECT_GE(ink.bottom(), box.bottom() - metrics.descent() - 3) << row.name;
            int textPixels = 0;
            const QRgb text = colorToRgb(row.text).rgb();
            for (int y = ink.top(); y <= ink.bottom(); ++y)
                for (int x = ink.left(); x <= ink.right(); ++x)
                    textPixels += image.pixel(x, y) == text;
            EXPECT_GT(textPixels, 10) << row.name << ": caption in its own colour";
        }
    }
}
