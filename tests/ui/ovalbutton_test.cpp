// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ovalbutton.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace chronivel {
namespace {

std::string Text(const QColor& c)
{
    return "(" + std::to_string(c.red()) + ", " + std::to_string(c.green()) + ", " + std::to_string(c.blue()) + ")";
}

#define EXPECT_RGB(actual, r, g, b) EXPECT_EQ(Text(actual), Text(QColor(r, g, b)))

// ---------------------------------------------------------------- bevel colours

TEST(BevelColorsTest, LightColourMovesEachChannelHalfWayToWhiteRoundingHalvesToEven)
{
    // 255 − round((256 − c) / 2): 255 → 255 − round(0.5) = 255; 253 → 255 − round(1.5) = 253;
    // 251 → 255 − round(2.5) = 253.
    EXPECT_RGB(BevelColorsOf(QColor(255, 253, 251)).light, 255, 253, 253);
    // 1 → 255 − round(127.5) = 127; 3 → 255 − round(126.5) = 129; 0 → 255 − 128 = 127.
    EXPECT_RGB(BevelColorsOf(QColor(1, 3, 0)).light, 127, 129, 127);
    // 200 → 255 − 28; 100 → 255 − 78; 50 → 255 − 103.
    EXPECT_RGB(BevelColorsOf(QColor(200, 100, 50)).light, 227, 177, 152);
}

TEST(BevelColorsTest, DarkColourKeepsHueAndSaturationAtSixTenthsOfTheLightness)
{
    // Lightness up to one half: the lightness and both HLS helper values scale
    // alike, so every channel is simply multiplied by 0.6.
    EXPECT_RGB(BevelColorsOf(QColor(200, 100, 50)).dark, 120, 60, 30);
    EXPECT_RGB(BevelColorsOf(QColor(255, 0, 0)).dark, 153, 0, 0);
    EXPECT_RGB(BevelColorsOf(QColor(0, 0, 0)).dark, 0, 0, 0);
    // Greys have no saturation: only the lightness, 240/255 · 0.6 · 255 = 144.
    EXPECT_RGB(BevelColorsOf(QColor(240, 240, 240)).dark, 144, 144, 144);
    EXPECT_RGB(BevelColorsOf(QColor(255, 255, 255)).dark, 153, 153, 153);
    // (255, 128, 128): lightness 0.751, saturation (1 − 0.502)/(2 − 1.502) = 1, hue red.
    // New lightness 0.4506 → q = 0.4506 · 2 = 0.9012, p = 0: red 229.8 → 230, the others 0.
    EXPECT_RGB(BevelColorsOf(QColor(255, 128, 128)).dark, 230, 0, 0);
}

// ---------------------------------------------------------------- fixtures

// A button on a parent of a known colour, so the corners show what lies behind.
class OvalButtonTest : public ::testing::Test {
protected:
    static constexpr QRgb kBehind = 0xFF0000FF;  // pure blue, in no bevel of the faces used here

    OvalButtonTest()
    {
        parent.setAutoFillBackground(true);
        QPalette palette = parent.palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(kBehind));
        parent.setPalette(palette);
        parent.resize(200, 100);
        button = new TOvalButton(&parent);
        button->setGeometry(10, 10, 25, 25);
    }

    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton changed = Qt::LeftButton)
    {
        Qt::MouseButtons held = Qt::NoButton;
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) held = changed;
        if (type == QEvent::MouseMove) held = pressedButtons;
        pressedButtons = held;
        QMouseEvent event(type, at, button->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : changed, held,
                          Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    }
    void Press(QPoint at, Qt::MouseButton which = Qt::LeftButton) { Mouse(QEvent::MouseButtonPress, at, which); }
    void Release(QPoint at, Qt::MouseButton which = Qt::LeftButton) { Mouse(QEvent::MouseButtonRelease, at, which); }
    void Move(QPoint at) { Mouse(QEvent::MouseMove, at); }
    void Click(QPoint at)
    {
        Press(at);
        Release(at);
    }

    // The button as it shows on its parent.
    QImage Picture() { return parent.grab(button->geometry()).toImage(); }

    QWidget parent;
    TOvalButton* button;
    Qt::MouseButtons pressedButtons = Qt::NoButton;
    const QPoint centre{12, 12};
    const QPoint corners[4] = {{0, 0}, {24, 0}, {0, 24}, {24, 24}};
};

// ---------------------------------------------------------------- hit-testing

TEST_F(OvalButtonTest, OnlyPointsInsideTheInscribedEllipseHit)
{
    for (const QPoint corner : corners) EXPECT_FALSE(button->HitTest(corner)) << corner.x() << ", " << corner.y();
    EXPECT_TRUE(button->HitTest(centre));
    // The ellipse touches the middle of every side.
    for (const QPoint edge : {QPoint(0, 12), QPoint(24, 12), QPoint(12, 0), QPoint(12, 24)})
        EXPECT_TRUE(button->HitTest(edge)) << edge.x() << ", " << edge.y();

    // 100 × 50: ((20.5 − 50)/50)² + ((5.5 − 25)/25)² = 0.348 + 0.608 < 1, but
    // ((14.5 − 50)/50)² + 0.608 = 1.112 > 1.
    button->resize(100, 50);
    EXPECT_TRUE(button->HitTest({20, 5}));
    EXPECT_FALSE(button->HitTest({14, 5}));
    EXPECT_FALSE(button->HitTest({3, 3}));
}

TEST_F(OvalButtonTest, APressInACornerNeitherSinksNorClicks)
{
    QSignalSpy clicks(button, &TOvalButton::clicked);
    QSignalSpy downs(button, &TOvalButton::mouseDown);
    for (const QPoint corner : corners) {
        Click(corner);
        EXPECT_FALSE(button->Down());
        EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Raised);
    }
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(downs.count(), 0);
}

// A widget that counts the presses that reach it.
class Backdrop final : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        ++presses;
        event->accept();
    }
};

TEST(OvalButtonMaskTest, ClicksInTheCornersGoToWhatIsBehind)
{
    Backdrop window;
    window.resize(120, 80);
    auto* button = new TOvalButton(&window);
    button->setGeometry(20, 10, 40, 30);
    QSignalSpy clicks(button, &TOvalButton::clicked);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_EQ(window.childAt(20, 10), nullptr);
    EXPECT_EQ(window.childAt(59, 39), nullptr);
    EXPECT_EQ(window.childAt(40, 25), button);

    // Through the window system, as a real click arrives.
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(21, 11));
    EXPECT_EQ(window.presses, 1);
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(40, 25));
    EXPECT_EQ(window.presses, 1);
    EXPECT_EQ(clicks.count(), 1);
}

// ---------------------------------------------------------------- press, drag and release

TEST_F(OvalButtonTest, PressSinksAndReleaseInsideClicksOnce)
{
    QSignalSpy clicks(button, &TOvalButton::clicked);
    QSignalSpy downs(button, &TOvalButton::mouseDown);
    QSignalSpy ups(button, &TOvalButton::mouseUp);
    Press(centre);
    EXPECT_TRUE(button->Down());
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Sunken);
    EXPECT_EQ(downs.count(), 1);
    EXPECT_EQ(clicks.count(), 0);
    Release(centre);
    EXPECT_FALSE(button->Down());
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Raised);
    EXPECT_EQ(ups.count(), 1);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(OvalButtonTest, DraggingOutRaisesTheButtonAndReleasingOutsideGivesNoClick)
{
    QSignalSpy clicks(button, &TOvalButton::clicked);
    Press(centre);
    Move({13, 13});
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Sunken);
    Move({1, 1});  // still on the widget, but off the ellipse
    EXPECT_FALSE(button->Down());
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Raised);
    Move({60, 60});
    Release({60, 60});
    EXPECT_FALSE(button->Down());
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Raised);
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(OvalButtonTest, DraggingBackInSinksAgainAndReleasingThereClicks)
{
    QSignalSpy clicks(button, &TOvalButton::clicked);
    Press(centre);
    Move({60, 60});
    Move(centre);
    EXPECT_TRUE(button->Down());
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Sunken);
    Release(centre);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(OvalButtonTest, OnlyTheLeftButtonClicksButAnyButtonSinks)
{
    QSignalSpy clicks(button, &TOvalButton::clicked);
    QSignalSpy downs(button, &TOvalButton::mouseDown);
    Press(centre, Qt::RightButton);
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Sunken);
    Release(centre, Qt::RightButton);
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Raised);
    EXPECT_EQ(downs.count(), 1);
    EXPECT_EQ(downs.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(OvalButtonTest, ADoubleClickIsOneClickAndOneDoubleClick)
{
    QSignalSpy clicks(button, &TOvalButton::clicked);
    QSignalSpy doubles(button, &TOvalButton::doubleClicked);
    QSignalSpy downs(button, &TOvalButton::mouseDown);
    Press(centre);
    Release(centre);
    Mouse(QEvent::MouseButtonDblClick, centre);
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Sunken);
    Release(centre);
    EXPECT_EQ(downs.count(), 2);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Raised);
}

TEST_F(OvalButtonTest, ADisabledButtonNeitherSinksNorClicks)
{
    QSignalSpy clicks(button, &TOvalButton::clicked);
    button->setEnabled(false);
    Click(centre);
    button->Click();
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Raised);
    EXPECT_EQ(clicks.count(), 0);
    button->setEnabled(true);
    button->Click();
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(OvalButtonTest, SettingDownChoosesTheBevel)
{
    QSignalSpy changes(button, &TOvalButton::downChanged);
    button->SetDown(true);
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Sunken);
    button->SetDown(false);
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Raised);
    button->SetFlat(true);
    button->SetDown(true);
    button->SetDown(false);
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Flat);
    button->SetDown(false);  // no change, no signal
    EXPECT_EQ(changes.count(), 4);
}

// ---------------------------------------------------------------- flat buttons

TEST_F(OvalButtonTest, AFlatButtonShowsItsBevelOnlyWhileTheEllipseIsHovered)
{
    button->SetColor(QColor(200, 100, 50));
    button->SetFlat(true);
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Flat);
    QImage picture = Picture();
    EXPECT_RGB(picture.pixelColor(0, 12), 200, 100, 50);  // no outline
    EXPECT_RGB(picture.pixelColor(1, 12), 200, 100, 50);  // no bevel

    Move({1, 1});  // a corner is not the button
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Flat);
    Move(centre);
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Raised);
    EXPECT_TRUE(button->Hovered());
    picture = Picture();
    EXPECT_RGB(picture.pixelColor(0, 12), 200, 100, 50);
    EXPECT_RGB(picture.pixelColor(1, 12), 227, 177, 152);
    EXPECT_RGB(picture.pixelColor(22, 12), 120, 60, 30);

    Move({1, 1});
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Flat);
    Move(centre);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Flat);
    EXPECT_FALSE(button->Hovered());
}

TEST_F(OvalButtonTest, AFlatButtonDraggedOutAndLetGoGoesFlat)
{
    button->SetFlat(true);
    Move(centre);
    Press(centre);
    Move({60, 60});
    Release({60, 60});
    EXPECT_EQ(button->BevelState(), TOvalButton::Bevel::Flat);
}

// ---------------------------------------------------------------- pixels

TEST_F(OvalButtonTest, RaisedBevelIsLightUpperLeftAndDarkLowerRightInsideABlackEdge)
{
    button->SetColor(QColor(200, 100, 50));  // light (227, 177, 152), dark (120, 60, 30)
    const QImage picture = Picture();
    // Across the middle row: outline, two bevel pixels, face, two bevel pixels,
    // outline; the painted ellipse ends one pixel short of the right side.
    EXPECT_RGB(picture.pixelColor(0, 12), 0, 0, 0);
    EXPECT_RGB(picture.pixelColor(1, 12), 227, 177, 152);
    EXPECT_RGB(picture.pixelColor(2, 12), 227, 177, 152);
    EXPECT_RGB(picture.pixelColor(3, 12), 200, 100, 50);
    EXPECT_RGB(picture.pixelColor(20, 12), 200, 100, 50);
    EXPECT_RGB(picture.pixelColor(21, 12), 120, 60, 30);
    EXPECT_RGB(picture.pixelColor(22, 12), 120, 60, 30);
    EXPECT_RGB(picture.pixelColor(23, 12), 0, 0, 0);
    EXPECT_EQ(picture.pixel(24, 12), kBehind);
    // Down the middle column the same.
    EXPECT_RGB(picture.pixelColor(12, 0), 0, 0, 0);
    EXPECT_RGB(picture.pixelColor(12, 1), 227, 177, 152);
    EXPECT_RGB(picture.pixelColor(12, 3), 200, 100, 50);
    EXPECT_RGB(picture.pixelColor(12, 22), 120, 60, 30);
    EXPECT_RGB(picture.pixelColor(12, 23), 0, 0, 0);
    EXPECT_EQ(picture.pixel(12, 24), kBehind);
    for (const QPoint corner : corners) EXPECT_EQ(picture.pixel(corner), kBehind);
}

TEST_F(OvalButtonTest, SunkenBevelSwapsTheColours)
{
    button->SetColor(QColor(200, 100, 50));
    button->SetDown(true);
    const QImage picture = Picture();
    EXPECT_RGB(picture.pixelColor(1, 12), 120, 60, 30);
    EXPECT_RGB(picture.pixelColor(12, 1), 120, 60, 30);
    EXPECT_RGB(picture.pixelColor(22, 12), 227, 177, 152);
    EXPECT_RGB(picture.pixelColor(12, 22), 227, 177, 152);
    EXPECT_RGB(picture.pixelColor(0, 12), 0, 0, 0);
}

TEST_F(OvalButtonTest, ATransparentButtonLetsTheParentShowThroughItsFace)
{
    button->SetColor(QColor(200, 100, 50));
    button->SetTransparent(true);
    const QImage picture = Picture();
    EXPECT_EQ(picture.pixel(centre), kBehind);
    EXPECT_RGB(picture.pixelColor(0, 12), 0, 0, 0);
    EXPECT_RGB(picture.pixelColor(1, 12), 227, 177, 152);
}

// ---------------------------------------------------------------- glyph and caption

const QColor kMarker(10, 20, 200);

// A glyph on magenta ground (its bottom-left pixel) with one marker pixel.
QImage MarkedGlyph(int w, int h, QPoint marker)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(QColor(255, 0, 255));
    image.setPixelColor(marker, kMarker);
    return image;
}

// Where the marker pixel shows, or (−1, −1).
QPoint FindMarker(const QImage& picture)
{
    const QRgb marker = kMarker.rgb();
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) == marker) return {x, y};
    return {-1, -1};
}

TEST_F(OvalButtonTest, AGlyphLargerThanTheOvalStartsAtTheTruncatedNegativeHalf)
{
    // (25 − 32) / 2 truncates to −3 (not −4): the marker at (15, 15) shows at (12, 12).
    button->SetGlyph(MarkedGlyph(32, 32, {15, 15}));
    button->SetNumGlyphs(1);
    EXPECT_EQ(FindMarker(Picture()), QPoint(12, 12));
    button->SetDown(true);  // sunken, the glyph moves one pixel right and down
    EXPECT_EQ(FindMarker(Picture()), QPoint(13, 13));
}

TEST_F(OvalButtonTest, TheGlyphsBottomLeftColourShowsTheFace)
{
    button->SetColor(QColor(200, 100, 50));
    button->SetGlyph(MarkedGlyph(11, 11, {5, 5}));  // at (7, 7)..(17, 17)
    EXPECT_EQ(button->TransparentColor(), QColor(255, 0, 255));
    EXPECT_EQ(FindMarker(Picture()), QPoint(-1, -1));  // no glyph drawn while NumGlyphs is 0
    button->SetNumGlyphs(1);
    QImage picture = Picture();
    EXPECT_EQ(FindMarker(picture), QPoint(12, 12));
    EXPECT_RGB(picture.pixelColor(8, 8), 200, 100, 50);
    // A transparent colour set after the glyph wins.
    button->SetTransparentColor(QColor(1, 2, 3));
    picture = Picture();
    EXPECT_RGB(picture.pixelColor(8, 8), 255, 0, 255);
}

TEST_F(OvalButtonTest, AGlyphWithAlphaKeepsItsInkOfTheClearPixelsColour)
{
    // Clear black around black ink, as a picture drawn on a transparent
    // ground has: the clear pixels show the face, the ink stays.
    button->SetColor(QColor(200, 100, 50));
    QImage clear(11, 11, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    clear.setPixelColor(5, 5, Qt::black);
    button->SetGlyph(clear);
    button->SetNumGlyphs(1);
    const QImage picture = Picture();
    EXPECT_RGB(picture.pixelColor(12, 12), 0, 0, 0);
    EXPECT_RGB(picture.pixelColor(8, 8), 200, 100, 50);
}

TEST_F(OvalButtonTest, TheGlyphImageFollowsTheState)
{
    // `count` 9 × 9 images: red, green, blue squares over a magenta bottom row.
    auto glyph = [](int count) {
        QImage image(9 * count, 9, QImage::Format_ARGB32);
        image.fill(QColor(255, 0, 255));
        const QColor colours[3] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};
        for (int i = 0; i < count; ++i)
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 9; ++x) image.setPixelColor(9 * i + x, y, colours[i]);
        return image;
    };
    auto shown = [&] { return Picture().pixelColor(centre); };
    auto use = [&](int count) {
        button->SetGlyph(glyph(count));
        button->SetNumGlyphs(count);
    };

    use(3);
    EXPECT_RGB(shown(), 255, 0, 0);
    button->setEnabled(false);
    EXPECT_RGB(shown(), 0, 255, 0);
    button->setEnabled(true);
    button->SetDown(true);
    EXPECT_RGB(shown(), 0, 0, 255);

    use(2);  // no sunken image: the normal one, moved
    EXPECT_RGB(shown(), 255, 0, 0);
    button->SetDown(false);
    button->setEnabled(false);
    EXPECT_RGB(shown(), 0, 255, 0);
    use(1);  // no disabled image either
    EXPECT_RGB(shown(), 255, 0, 0);
}

TEST_F(OvalButtonTest, GlyphBelowTheCaptionIsCentredWithItAsAGroup)
{
    button->resize(100, 50);
    button->SetCaption(QStringLiteral("Go"));
    button->SetGlyph(MarkedGlyph(10, 10, {2, 2}));
    button->SetNumGlyphs(1);
    const int th = QFontMetrics(button->font()).height();
    EXPECT_EQ(FindMarker(Picture()), QPoint(45, (th + 10 + 4 + 50) / 2 - 10) + QPoint(2, 2));
}

// ---------------------------------------------------------------- accelerator

TEST(OvalButtonKeyTest, TheCharacterAfterTheAmpersandClicksTheButton)
{
    QWidget window;
    window.resize(100, 60);
    auto* button = new TOvalButton(&window);
    button->SetCaption(QStringLiteral("&Menu"));
    QSignalSpy clicks(button, &TOvalButton::clicked);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    QTest::keyClick(&window, Qt::Key_M);
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyClick(&window, Qt::Key_M, Qt::ShiftModifier);
    EXPECT_EQ(clicks.count(), 2);
    QTest::keyClick(&window, Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 3);
    QTest::keyClick(&window, Qt::Key_E);
    EXPECT_EQ(clicks.count(), 3);

    button->setEnabled(false);
    QTest::keyClick(&window, Qt::Key_M);
    EXPECT_EQ(clicks.count(), 3);
    button->setEnabled(true);

    button->SetCaption(QStringLiteral("&Go"));
    QTest::keyClick(&window, Qt::Key_M);
    EXPECT_EQ(clicks.count(), 3);
    QTest::keyClick(&window, Qt::Key_G);
    EXPECT_EQ(clicks.count(), 4);
}

}  // namespace
}  // namespace chronivel
