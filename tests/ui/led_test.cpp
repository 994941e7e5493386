// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/led.h"

#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace chronivel {
namespace {

// In no LED palette, so a pixel of this colour can only be the background.
const QColor kBackground(40, 90, 150);
// Where the LED sits in its window; the window leaves room below for what a short LED cuts off.
const QPoint kOrigin(8, 8);

// One letter per colour the LEDs use, so whole rows of pixels read as text.
char Letter(QRgb pixel, const QColor& background)
{
    const QRgb rgb = pixel & RGB_MASK;
    if (rgb == (background.rgb() & RGB_MASK)) return '.';
    switch (rgb) {
    case 0xFFFFFF: return 'W';
    case 0x808080: return 'g';
    case 0x000000: return 'k';
    case 0xFF0000: return 'R';
    case 0xFF00FF: return 'M';
    case 0xFFFF00: return 'Y';
    case 0x00FF00: return 'G';
    case 0x008080: return 'T';
    case 0x00FFFF: return 'C';
    default: return '?';
    }
}

QString Hex(const QImage& shot, int x, int y)
{
    return shot.pixelColor(x, y).name();
}

class LedTest : public ::testing::Test {
protected:
    LedTest()
    {
        SetWindowColour(kBackground);
        window.setAutoFillBackground(true);
        window.resize(40, 40);
        led = new TLed(&window);
        led->move(kOrigin);
    }

    void SetUp() override
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        Settle();
    }

    void SetWindowColour(const QColor& colour)
    {
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, colour);
        window.setPalette(palette);
    }

    // Delivers whatever is pending, a late repaint included.
    static void Settle()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    // The window's 16 × 16 pixels where the LED sits, as letters.
    std::vector<std::string> Picture(const QColor& background = kBackground)
    {
        const QImage shot = window.grab().toImage();
        std::vector<std::string> rows;
        for (int y = 0; y < 16; ++y) {
            std::string row;
            for (int x = 0; x < 16; ++x) row += Letter(shot.pixel(kOrigin.x() + x, kOrigin.y() + y), background);
            rows.push_back(row);
        }
        return rows;
    }

    QImage Shot() { return window.grab().toImage().copy(QRect(kOrigin, QSize(16, 16))); }

    QWidget window;
    TLed* led;
};

// ---- properties, label and signals ----

TEST_F(LedTest, StartsAsADarkRedCircleOfSixteenPixels)
{
    EXPECT_EQ(led->Kind(), lkRed);
    EXPECT_EQ(led->Shape(), lsCircle);
    EXPECT_FALSE(led->Value());
    EXPECT_EQ(led->LabelLinked(), nullptr);
    EXPECT_TRUE(led->LabelOnText().isEmpty());
    EXPECT_TRUE(led->LabelOffText().isEmpty());
    EXPECT_EQ(led->size(), QSize(16, 16));
    EXPECT_EQ(led->sizeHint(), QSize(16, 16));
}

TEST_F(LedTest, SettingTheCurrentValueDoesNothing)
{
    QLabel label(&window);
    led->SetLabelOnText(QStringLiteral("on"));
    led->SetLabelOffText(QStringLiteral("off"));
    led->SetLabelLinked(&label);
    int changes = 0;
    QObject::connect(led, &TLed::changed, [&] { ++changes; });

    for (const bool value : {false, true}) {
        SCOPED_TRACE(value ? "lit" : "dark");
        if (led->Value() != value) led->SetValue(value);
        Settle();
        const int paints = led->PaintCount();
        const int changesBefore = changes;
        label.setText(QStringLiteral("untouched"));

        led->SetValue(value);
        Settle();
        EXPECT_EQ(led->PaintCount(), paints);
        EXPECT_EQ(label.text(), QStringLiteral("untouched"));
        EXPECT_EQ(changes, changesBefore);
    }

    // The harness would see a late repaint, had there been one.
    const int paints = led->PaintCount();
    led->update();
    Settle();
    EXPECT_GT(led->PaintCount(), paints);
}

TEST_F(LedTest, ANewValueRepaintsAtOnceThenSetsTheCaptionThenSignals)
{
    QLabel label(&window);
    led->SetLabelLinked(&label);
    led->SetLabelOnText(QStringLiteral("on"));
    led->SetLabelOffText(QStringLiteral("off"));
    struct Seen {
        TLed* sender;
        bool value;
        QString caption;
        int paints;
    };
    std::vector<Seen> seen;
    QObject::connect(led, &TLed::changed,
                     [&](TLed* sender) { seen.push_back({sender, sender->Value(), label.text(), sender->PaintCount()}); });

    const int paints = led->PaintCount();
    led->SetValue(true);
    // Without a pass of the event loop: painted already when the signal comes.
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].sender, led);
    EXPECT_TRUE(seen[0].value);
    EXPECT_EQ(seen[0].caption, QStringLiteral("on"));
    EXPECT_GT(seen[0].paints, paints);

    led->SetValue(false);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_FALSE(seen[1].value);
    EXPECT_EQ(seen[1].caption, QStringLiteral("off"));
    EXPECT_GT(seen[1].paints, seen[0].paints);
}

TEST_F(LedTest, KindAndShapeRepaintOnlyWhenTheyChange)
{
    int paints = led->PaintCount();
    led->SetKind(lkRed);
    led->SetShape(lsCircle);
    Settle();
    EXPECT_EQ(led->PaintCount(), paints);

    led->SetKind(lkBlue);
    EXPECT_EQ(led->Kind(), lkBlue);
    EXPECT_GT(led->PaintCount(), paints);
    paints = led->PaintCount();
    led->SetShape(lsRectangle);
    EXPECT_EQ(led->Shape(), lsRectangle);
    EXPECT_GT(led->PaintCount(), paints);
}

TEST_F(LedTest, LinkingALabelShowsTheCurrentStateAtOnce)
{
    led->SetLabelOnText(QStringLiteral("on"));
    led->SetLabelOffText(QStringLiteral("off"));
    led->SetValue(true);
    QLabel lit(QStringLiteral("before"), &window);
    led->SetLabelLinked(&lit);
    EXPECT_EQ(led->LabelLinked(), &lit);
    EXPECT_EQ(lit.text(), QStringLiteral("on"));

    // The same label again is no change.
    lit.setText(QStringLiteral("by hand"));
    led->SetLabelLinked(&lit);
    EXPECT_EQ(lit.text(), QStringLiteral("by hand"));

    led->SetValue(false);
    QLabel dark(QStringLiteral("before"), &window);
    led->SetLabelLinked(&dark);
    EXPECT_EQ(dark.text(), QStringLiteral("off"));

    // Unlinked, a label is left alone.
    led->SetLabelLinked(nullptr);
    led->SetValue(true);
    EXPECT_EQ(dark.text(), QStringLiteral("off"));
}

TEST_F(LedTest, CountDownSwitchNamesTheModeInItsLabel)
{
    QLabel labelSC(&window);
    led->SetKind(lkGreen);
    led->SetShape(lsCircle);
    led->SetLabelLinked(&labelSC);
    led->SetLabelOnText(QStringLiteral("CountDown"));
    led->SetLabelOffText(QStringLiteral("Chronivel"));
    EXPECT_EQ(labelSC.text(), QStringLiteral("Chronivel"));

    led->SetValue(true);
    EXPECT_EQ(labelSC.text(), QStringLiteral("CountDown"));
    led->SetValue(false);
    EXPECT_EQ(labelSC.text(), QStringLiteral("Chronivel"));
}

TEST_F(LedTest, ChangingEitherTextSetsTheCaptionOfTheCurrentState)
{
    QLabel label(&window);
    led->SetLabelLinked(&label);
    led->SetLabelOnText(QStringLiteral("CountDown"));
    led->SetValue(true);

    label.setText(QStringLiteral("stale"));
    led->SetLabelOffText(QStringLiteral("Chronivel"));
    EXPECT_EQ(label.text(), QStringLiteral("CountDown"));

    // The same text again is no change.
    label.setText(QStringLiteral("stale"));
    led->SetLabelOffText(QStringLiteral("Chronivel"));
    led->SetLabelOnText(QStringLiteral("CountDown"));
    EXPECT_EQ(label.text(), QStringLiteral("stale"));

    led->SetLabelOnText(QStringLiteral("Count down"));
    EXPECT_EQ(label.text(), QStringLiteral("Count down"));
}

TEST_F(LedTest, ADestroyedLabelIsForgotten)
{
    auto label = std::make_unique<QLabel>();
    led->SetLabelLinked(label.get());
    label.reset();
    EXPECT_EQ(led->LabelLinked(), nullptr);

    int changes = 0;
    QObject::connect(led, &TLed::changed, [&] { ++changes; });
    led->SetValue(true);
    led->SetLabelOnText(QStringLiteral("on"));
    EXPECT_EQ(changes, 1);
}

// ---- clicks ----

TEST_F(LedTest, AClickIsReportedAndLeavesTheValueAlone)
{
    std::vector<TLed*> clicks;
    int changes = 0;
    QObject::connect(led, &TLed::clicked, [&](TLed* sender) { clicks.push_back(sender); });
    QObject::connect(led, &TLed::changed, [&] { ++changes; });

    QTest::mouseClick(led, Qt::LeftButton);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], led);
    EXPECT_FALSE(led->Value());

    led->SetValue(true);
    QTest::mouseClick(led, Qt::LeftButton);
    EXPECT_EQ(clicks.size(), 2u);
    EXPECT_TRUE(led->Value());
    EXPECT_EQ(changes, 1);
}

TEST_F(LedTest, OnlyALeftPressReleasedOnTheLedIsAClick)
{
    int clicks = 0;
    QObject::connect(led, &TLed::clicked, [&] { ++clicks; });

    QTest::mousePress(led, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::mouseRelease(led, Qt::LeftButton, {}, QPoint(30, 8));
    EXPECT_EQ(clicks, 0) << "released beside the LED";

    QTest::mouseClick(led, Qt::RightButton);
    EXPECT_EQ(clicks, 0) << "right button";

    QTest::mouseClick(led, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST_F(LedTest, ADoubleClickIsOneClick)
{
    int clicks = 0;
    QObject::connect(led, &TLed::clicked, [&] { ++clicks; });
    const QPointF at(8, 8);
    const QPointF global = led->mapToGlobal(at);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                    QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(led, &event);
    }
    EXPECT_EQ(clicks, 1);
}

// ---- pixels ----

TEST_F(LedTest, LitYellowCircleHasAYellowLampWithWhiteHighlights)
{
    led->SetKind(lkYellow);
    led->SetValue(true);
    const std::vector<std::string> expected = {
        ".....gggggg.....",  // 0
        "...ggkYYYYYgg...",  // 1
        "..gkYYWWWYYYYW..",  // 2
        ".gkYWWWYYYYYYYW.",  // 3
        ".gYWWWWYYYYYYYW.",  // 4
        "gkYWWWYYYYYYYYkW",  // 5
        "gYWWWYYYYYYYYYkW",  // 6
        "gYWYYYYYYYYYYYkW",  // 7
        "gYWYYYYYYYYYYYkW",  // 8
        "gYYYYYYYYYYYYkkW",  // 9
        "gYYYYYYYYYYYYkkW",  // 10
        ".gYYYYYYYYYYkkW.",  // 11
        ".gYYYYYYYYYkkkW.",  // 12
        "..WYYYYYYkkkkW..",  // 13
        "...WWkkkkkkWW...",  // 14
        ".....WWWWWW.....",  // 15
    };
    EXPECT_EQ(Picture(), expected);
    const QImage shot = Shot();
    EXPECT_EQ(Hex(shot, 8, 8), QStringLiteral("#ffff00"));
    EXPECT_EQ(Hex(shot, 4, 4), QStringLiteral("#ffffff"));
}

TEST_F(LedTest, DarkRedCircleHasABlackBodyWithARedGlint)
{
    const std::vector<std::string> expected = {
        ".....gggggg.....",  // 0
        "...ggkkkkkkgg...",  // 1
        "..gkkkkkkkkkkW..",  // 2
        ".gkkkkkkkkkkkkW.",  // 3
        ".gkkkRRRkkkkkkW.",  // 4
        "gkkkRRkkkkkkkkkW",  // 5
        "gkkkRkkkkkkkkkkW",  // 6
        "gkkkRkkkkkkkkkkW",  // 7
        "gkkkkkkkkkkkkkkW",  // 8
        "gkkkkkkkkkkkkkkW",  // 9
        "gkkkkkkkkkkkkkkW",  // 10
        ".gkkkkkkkkkkkkW.",  // 11
        ".gkkkkkkkkkkkkW.",  // 12
        "..WkkkkkkkkkkW..",  // 13
        "...WWkkkkkkWW...",  // 14
        ".....WWWWWW.....",  // 15
    };
    EXPECT_EQ(Picture(), expected);
}

TEST_F(LedTest, RedRectangleRowsDarkAndLit)
{
    led->SetShape(lsRectangle);
    struct Row {
        int y;
        const char* dark;
        const char* lit;
    };
    const Row rows[] = {
        {2, "................", "................"},  // above the rectangle
        {3, "gggggggggggggggg", "gggggggggggggggg"},  // upper rim
        {5, "gkRRRRkkkkkkkkkW", "gRMMMMMMMMMMMRkW"},
        {6, "gkRRkkkkkkkkkkkW", "gRMWMMRRRRRRRRkW"},
        {10, "gkkkkkkkkkkkkkkW", "gRRRRRRRRRRRRRkW"},
        {11, "gkkkkkkkkkkkkkkW", "gRkkkkkkkkkkkkkW"},
        {12, "gWWWWWWWWWWWWWWW", "gWWWWWWWWWWWWWWW"},  // lower rim
        {13, "................", "................"},  // below it
    };
    const std::vector<std::string> dark = Picture();
    led->SetValue(true);
    const std::vector<std::string> lit = Picture();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.y);
        EXPECT_EQ(dark[static_cast<std::size_t>(row.y)], row.dark);
        EXPECT_EQ(lit[static_cast<std::size_t>(row.y)], row.lit);
    }
}

TEST_F(LedTest, ShortLockLedLosesTheBottomRows)
{
    led->SetShape(lsRectangle);
    led->resize(16, 12);
    for (const bool value : {false, true}) {
        SCOPED_TRACE(value ? "lit" : "dark");
        led->SetValue(value);
        const std::vector<std::string> picture = Picture();
        EXPECT_EQ(picture[3], "gggggggggggggggg");
        EXPECT_EQ(picture[11], value ? "gRkkkkkkkkkkkkkW" : "gkkkkkkkkkkkkkkW");
        for (std::size_t y = 12; y < 16; ++y) EXPECT_EQ(picture[y], "................") << "row " << y;
    }
}

TEST_F(LedTest, LampAndHighlightColoursOfEveryKind)
{
    struct Case {
        TLedKind kind;
        const char* lamp;
        const char* highlight;
    };
    const Case cases[] = {
        {lkRed, "#ff0000", "#ff00ff"},   {lkGreen, "#00ff00", "#ffff00"}, {lkYellow, "#ffff00", "#ffffff"},
        {lkBlue, "#008080", "#00ffff"},  {lkWhite, "#ff00ff", "#ffffff"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lamp);
        led->SetKind(c.kind);
        for (const TLedShape shape : {lsCircle, lsRectangle}) {
            led->SetShape(shape);
            led->SetValue(true);
            QImage shot = Shot();
            EXPECT_EQ(Hex(shot, 8, 8).toStdString(), c.lamp);
            EXPECT_EQ(Hex(shot, 3, shape == lsCircle ? 4 : 5).toStdString(), c.highlight);
            EXPECT_EQ(Hex(shot, shape == lsCircle ? 4 : 3, shape == lsCircle ? 4 : 6).toStdString(), "#ffffff");
            led->SetValue(false);
            shot = Shot();
            EXPECT_EQ(Hex(shot, 8, 8).toStdString(), "#000000");
            // The dark map keeps a glint of the lamp colour.
            EXPECT_EQ(Hex(shot, 5, shape == lsCircle ? 4 : 5).toStdString(), c.lamp);
        }
    }
}

TEST_F(LedTest, PixelsOutsideTheMapShowTheParentsColour)
{
    const QColor other(200, 170, 30);
    SetWindowColour(other);
    Settle();
    for (const bool value : {false, true}) {
        led->SetValue(value);
        led->SetShape(lsCircle);
        const std::vector<std::string> circle = Picture(other);
        EXPECT_EQ(circle[0].substr(0, 5), ".....");
        EXPECT_EQ(circle[0].substr(11), ".....");
        EXPECT_EQ(circle[15].substr(0, 5), ".....");
        EXPECT_EQ(circle[15].substr(11), ".....");
        EXPECT_EQ(circle[7][0], 'g');
        led->SetShape(lsRectangle);
        const std::vector<std::string> rectangle = Picture(other);
        for (const std::size_t y : {0u, 1u, 2u, 13u, 14u, 15u}) EXPECT_EQ(rectangle[y], "................") << "row " << y;
    }

    // A colour of the LED's own fills them instead of the parent's.
    const QColor own(90, 20, 110);
    QPalette palette = led->palette();
    palette.setColor(QPalette::Window, own);
    led->setPalette(palette);
    Settle();
    const std::vector<std::string> rectangle = Picture(own);
    EXPECT_EQ(rectangle[0], "................");
    EXPECT_EQ(rectangle[4], "gRRRRRRRRRRRRRRW");
}

}  // namespace
}  // namespace chronivel
