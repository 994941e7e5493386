// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/colorbutton.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace chronivel {
namespace {

std::string Text(const QColor& c)
{
    return "(" + std::to_string(c.red()) + ", " + std::to_string(c.green()) + ", " + std::to_string(c.blue()) + ")";
}

#define EXPECT_RGB(actual, expected) EXPECT_EQ(Text(actual), Text(expected))

const QColor kRed(255, 0, 0);
const QColor kLime(0, 255, 0);

using Pixels = std::set<std::pair<int, int>>;

// Pixels of `picture` inside `area` whose colour is `colour`.
Pixels Where(const QImage& picture, const QRect& area, const QColor& colour)
{
    Pixels found;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (picture.pixelColor(x, y).rgb() == colour.rgb()) found.insert({x, y});
    return found;
}

Pixels Moved(const Pixels& pixels, int dx, int dy)
{
    Pixels moved;
    for (const auto& [x, y] : pixels) moved.insert({x + dx, y + dy});
    return moved;
}

// The start/stop button as the main window has it at zoom 1, in a window of its own.
class ColorButtonTest : public ::testing::Test {
protected:
    ColorButtonTest()
    {
        window.resize(120, 60);
        button = new TBitBtnWithColor(QStringLiteral("STOP"), &window);
        button->setGeometry(10, 10, 58, 25);
        // Text without smoothing, so every pixel of the caption has the colour it was drawn in.
        QFont font = button->font();
        font.setStyleStrategy(QFont::NoAntialias);
        font.setPointSize(9);
        button->setFont(font);
        button->setFocusPolicy(Qt::StrongFocus);
    }

    QImage Picture() { return button->grab().toImage(); }
    QColor Role(QPalette::ColorRole role) const { return button->palette().color(QPalette::Active, role); }

    // Shows the window and makes it the active one, so that focus is real.
    void Activate()
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QWidget window;
    TBitBtnWithColor* button;
};

// ---------------------------------------------------------------- face

TEST_F(ColorButtonTest, UpTheFaceHasTheColourInsideARaisedEdge)
{
    button->SetColor(kRed);
    const QImage picture = Picture();
    EXPECT_RGB(picture.pixelColor(0, 0), Role(QPalette::Midlight));
    EXPECT_RGB(picture.pixelColor(0, 23), Role(QPalette::Midlight));
    EXPECT_RGB(picture.pixelColor(1, 1), Role(QPalette::Light));
    EXPECT_RGB(picture.pixelColor(57, 0), Role(QPalette::Shadow));  // the dark side owns the corner
    EXPECT_RGB(picture.pixelColor(57, 24), Role(QPalette::Shadow));
    EXPECT_RGB(picture.pixelColor(56, 23), Role(QPalette::Dark));
    EXPECT_RGB(picture.pixelColor(2, 2), kRed);
    EXPECT_RGB(picture.pixelColor(55, 22), kRed);
}

TEST_F(ColorButtonTest, DownTheFaceKeepsTheColourInsideAShadowFrame)
{
    button->SetColor(kRed);
    button->setDown(true);
    const QImage picture = Picture();
    EXPECT_RGB(picture.pixelColor(0, 0), Role(QPalette::Dark));
    EXPECT_RGB(picture.pixelColor(57, 24), Role(QPalette::Dark));
    EXPECT_RGB(picture.pixelColor(1, 1), kRed);
    EXPECT_RGB(picture.pixelColor(56, 23), kRed);
}

TEST_F(ColorButtonTest, ANewColourRepaintsTheFace)
{
    button->SetColor(kRed);
    EXPECT_RGB(Picture().pixelColor(3, 3), kRed);
    button->SetColor(kLime);
    EXPECT_RGB(Picture().pixelColor(3, 3), kLime);
    EXPECT_EQ(button->Color(), kLime);
}

TEST_F(ColorButtonTest, TheCaptionMovesOnePixelRightAndDownWhenPressed)
{
    button->SetColor(kRed);
    const QRect inside(3, 3, 50, 18);
    const Pixels up = Where(Picture(), inside, Role(QPalette::ButtonText));
    ASSERT_GT(up.size(), 20u);
    button->setDown(true);
    const Pixels down = Where(Picture(), inside.translated(1, 1), Role(QPalette::ButtonText));
    EXPECT_EQ(down, Moved(up, 1, 1));
}

TEST_F(ColorButtonTest, ADisabledCaptionIsEmbossedWhiteUnderGrey)
{
    // The lap button: "Lap" on the plain face colour.
    button->setText(QStringLiteral("Lap"));
    const QColor face(212, 208, 200);
    button->SetColor(face);
    const QRect inside(3, 3, 50, 18);
    const Pixels text = Where(Picture(), inside, Role(QPalette::ButtonText));
    ASSERT_GT(text.size(), 20u);

    button->setEnabled(false);
    const QImage picture = Picture();
    const QRect around = inside.adjusted(0, 0, 1, 1);
    // Grey exactly where the text is, white where the copy one pixel right
    // and down shows from under it, and the face around both.
    EXPECT_EQ(Where(picture, around, QColor(128, 128, 128)), text);
    Pixels white = Moved(text, 1, 1);
    for (const auto& pixel : text) white.erase(pixel);
    EXPECT_EQ(Where(picture, around, Qt::white), white);
    EXPECT_EQ(Where(picture, around, face).size(), static_cast<size_t>(around.width() * around.height()) - text.size() - white.size());
    // Disabled it lies flat: no edge, the face reaches the border.
    EXPECT_RGB(picture.pixelColor(0, 0), face);
}

// ---------------------------------------------------------------- focus

TEST_F(ColorButtonTest, TheFocusedButtonHasAFrameAndADottedRectangle)
{
    button->SetColor(kRed);
    EXPECT_FALSE(button->IsFocused());
    Activate();
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    EXPECT_TRUE(button->IsFocused());
    const QImage picture = Picture();
    EXPECT_RGB(picture.pixelColor(0, 0), Role(QPalette::WindowText));
    EXPECT_RGB(picture.pixelColor(57, 24), Role(QPalette::WindowText));
    EXPECT_RGB(picture.pixelColor(1, 1), Role(QPalette::Midlight));  // the edge, one pixel in
    // Every other pixel of the client rectangle shrunk by 4 is inverted: red turns cyan.
    EXPECT_RGB(picture.pixelColor(4, 4), QColor(0, 255, 255));
    EXPECT_RGB(picture.pixelColor(5, 4), kRed);
    EXPECT_RGB(picture.pixelColor(6, 4), QColor(0, 255, 255));
    EXPECT_RGB(picture.pixelColor(4, 6), QColor(0, 255, 255));
    EXPECT_RGB(picture.pixelColor(53, 19), QColor(0, 255, 255));  // the corner (53, 20) is odd
    EXPECT_RGB(picture.pixelColor(53, 20), kRed);
    EXPECT_RGB(picture.pixelColor(52, 20), QColor(0, 255, 255));
}

TEST_F(ColorButtonTest, TheDefaultButtonIsFocusedWhileNoOtherButtonHasTheFocus)
{
    auto* edit = new QLineEdit(&window);
    edit->setGeometry(10, 40, 50, 15);
    auto* other = new QPushButton(QStringLiteral("Other"), &window);
    other->setGeometry(70, 40, 40, 15);
    button->setDefault(true);
    Activate();

    edit->setFocus();
    EXPECT_TRUE(button->IsFocused());
    EXPECT_RGB(Picture().pixelColor(0, 0), Role(QPalette::WindowText));
    other->setFocus();
    EXPECT_FALSE(button->IsFocused());
    EXPECT_RGB(Picture().pixelColor(0, 0), Role(QPalette::Midlight));
    button->setDefault(false);
    edit->setFocus();
    EXPECT_FALSE(button->IsFocused());
}

// ---------------------------------------------------------------- glyph

// Olive ground (the bottom-left pixel) with a black 3 × 3 block in the middle.
QImage PauseLikeGlyph()
{
    QImage image(7, 7, QImage::Format_ARGB32);
    image.fill(QColor(128, 128, 0));
    for (int y = 2; y < 5; ++y)
        for (int x = 2; x < 5; ++x) image.setPixelColor(x, y, Qt::black);
    return image;
}

class GlyphButtonTest : public ColorButtonTest {
protected:
    GlyphButtonTest()
    {
        // The pause button: 19 × 25, glyph only. Inside the edge (3, 3)–(15, 21)
        // the 7 × 7 glyph is centred at (3 + 6/2, 3 + 12/2) = (6, 9).
        button->setText(QString());
        button->resize(19, 25);
        button->SetColor(kRed);
        button->SetGlyph(PauseLikeGlyph());
    }
};

TEST_F(GlyphButtonTest, TheBottomLeftColourShowsTheFace)
{
    const QImage picture = Picture();
    EXPECT_RGB(picture.pixelColor(6, 9), kRed);
    EXPECT_RGB(picture.pixelColor(12, 15), kRed);
    EXPECT_EQ(Where(picture, picture.rect(), Qt::black), Where(picture, QRect(8, 11, 3, 3), Qt::black));
    EXPECT_EQ(Where(picture, QRect(8, 11, 3, 3), Qt::black).size(), 9u);

    button->SetColor(kLime);  // the prepared glyph follows the colour
    EXPECT_RGB(Picture().pixelColor(6, 9), kLime);

    QImage blueGround = PauseLikeGlyph();
    blueGround.setPixelColor(0, 6, Qt::blue);  // now blue is transparent, olive is drawn
    button->SetGlyph(blueGround);
    EXPECT_RGB(Picture().pixelColor(6, 9), QColor(128, 128, 0));
    EXPECT_RGB(Picture().pixelColor(6, 15), kLime);
}

TEST_F(GlyphButtonTest, AGlyphWithAlphaShowsTheFaceWhereItIsClearWhateverTheColourThere)
{
    // Clear black all round, as a picture drawn on a transparent ground has:
    // the opaque black block must not vanish with it, and a half-clear pixel
    // lies half over the face.
    QImage clear(7, 7, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    for (int y = 2; y < 5; ++y)
        for (int x = 2; x < 5; ++x) clear.setPixelColor(x, y, Qt::black);
    clear.setPixelColor(5, 3, QColor(0, 0, 255, 128));
    clear.setPixelColor(1, 3, QColor(0, 255, 0, 0));
    button->SetGlyph(clear);
    const QImage picture = Picture();
    EXPECT_EQ(Where(picture, picture.rect(), Qt::black), Where(picture, QRect(8, 11, 3, 3), Qt::black));
    EXPECT_EQ(Where(picture, QRect(8, 11, 3, 3), Qt::black).size(), 9u);
    EXPECT_RGB(picture.pixelColor(11, 12), QColor(127, 0, 128));
    EXPECT_RGB(picture.pixelColor(7, 12), kRed);

    button->setEnabled(false);  // the embossed shape is the opaque block
    EXPECT_EQ(Where(Picture(), Picture().rect(), Role(QPalette::Dark)).size(), 10u);
}

TEST_F(GlyphButtonTest, PressedTheGlyphMovesOnePixel)
{
    button->setDown(true);
    const QImage picture = Picture();
    EXPECT_EQ(Where(picture, picture.rect(), Qt::black), Where(picture, QRect(9, 12, 3, 3), Qt::black));
    EXPECT_EQ(Where(picture, QRect(9, 12, 3, 3), Qt::black).size(), 9u);
}

TEST_F(GlyphButtonTest, DisabledASingleImageIsEmbossed)
{
    button->setEnabled(false);
    const QImage picture = Picture();
    // The shape in shadow, its copy one pixel right and down in highlight under it.
    EXPECT_EQ(Where(picture, picture.rect(), Qt::black).size(), 0u);
    const Pixels shadow = Where(picture, picture.rect(), Role(QPalette::Dark));
    Pixels expected;
    for (int y = 11; y < 14; ++y)
        for (int x = 8; x < 11; ++x) expected.insert({x, y});
    EXPECT_EQ(shadow, expected);
    EXPECT_RGB(picture.pixelColor(11, 14), Role(QPalette::Light));
    EXPECT_RGB(picture.pixelColor(11, 12), Role(QPalette::Light));
    EXPECT_RGB(picture.pixelColor(7, 11), kRed);
}

TEST_F(ColorButtonTest, GlyphAndCaptionAreCentredAsOneGroup)
{
    button->setText(QStringLiteral("Go"));
    button->resize(80, 25);
    button->SetGlyph(PauseLikeGlyph());
    const int tw = QFontMetrics(button->font()).horizontalAdvance(QStringLiteral("Go"));
    // Inside the edge (3, 3)–(76, 21), 74 wide: glyph, 4 pixels, caption.
    const int left = 3 + (74 - 7 - 4 - tw) / 2;
    const QImage picture = Picture();
    EXPECT_RGB(picture.pixelColor(left + 2, 11), Qt::black);
    EXPECT_RGB(picture.pixelColor(left + 1, 11), button->Color());
    const Pixels text = Where(picture, QRect(left + 7, 3, 74, 19), Role(QPalette::ButtonText));
    ASSERT_FALSE(text.empty());
    EXPECT_GE(text.begin()->first, left + 7 + 4);
}

// ---------------------------------------------------------------- mouse

TEST_F(ColorButtonTest, ADoubleClickCountsAsASecondPress)
{
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QSignalSpy presses(button, &TBitBtnWithColor::mouseDown);
    const QPoint at(20, 12);
    QTest::mousePress(button, Qt::LeftButton, {}, at);
    QTest::mouseRelease(button, Qt::LeftButton, {}, at);
    QTest::mouseDClick(button, Qt::LeftButton, {}, at);
    EXPECT_TRUE(button->isDown());
    QTest::mouseRelease(button, Qt::LeftButton, {}, at);
    EXPECT_EQ(presses.count(), 2);
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ColorButtonTest, EveryMouseButtonReportsItsPress)
{
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QSignalSpy presses(button, &TBitBtnWithColor::mouseDown);
    QTest::mouseClick(button, Qt::RightButton, {}, QPoint(20, 12));
    ASSERT_EQ(presses.count(), 1);
    EXPECT_EQ(presses.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(clicks.count(), 0);
}

}  // namespace
}  // namespace chronivel
