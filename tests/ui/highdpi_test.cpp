// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on a screen of device pixel ratio 2 (QT_SCALE_FACTOR=2,
// the hidpi. tests): what it draws must use every device pixel, not blow
// up a picture made for ratio 1 into 2 × 2 blocks.
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/ui/mainwindow_fixture.h"
#include "ui/readout.h"

namespace chronivel {
namespace {

class HighDpiTest : public testing::MainWindowFixture {
protected:
    void SetUp() override
    {
        if (qApp->devicePixelRatio() != 2) GTEST_SKIP() << "runs with QT_SCALE_FACTOR=2";
        Start();
    }
    void Key(QKeyCombination key) { QTest::keyClick(window.get(), key.key(), key.keyboardModifiers()); }

    // `control` as the screen shows it, in device pixels.
    QImage Grab(const char* control)
    {
        const QPixmap shot = Find<QWidget>(control)->grab();
        EXPECT_EQ(shot.devicePixelRatio(), 2.0) << control;
        return shot.toImage();
    }
};

// How many of the 2 × 2 blocks at even coordinates inside `area` are not of
// one colour: none when a picture of half the size was blown up.
int SplitBlocks(const QImage& picture, QRect area)
{
    area &= picture.rect();
    int split = 0;
    for (int y = area.top() & ~1; y + 1 <= area.bottom(); y += 2)
        for (int x = area.left() & ~1; x + 1 <= area.right(); x += 2) {
            const QRgb c = picture.pixel(x, y);
            if (picture.pixel(x + 1, y) != c || picture.pixel(x, y + 1) != c || picture.pixel(x + 1, y + 1) != c) ++split;
        }
    return split;
}

TEST_F(HighDpiTest, TheReadoutDrawsItsDigitsAndSeparatorsInDevicePixels)
{
    auto* readout = Find<Readout>("lbl_Tickmor");
    for (int image = 1; image <= 12; ++image) {
        if (!readout->Image(image)->isVisible()) continue;
        const QImage digit = readout->Image(image)->grab().toImage();
        EXPECT_EQ(digit.size(), readout->Image(image)->size() * 2);
        EXPECT_GT(SplitBlocks(digit, digit.rect()), 0) << "image " << image;
    }
}

TEST_F(HighDpiTest, TheButtonsDrawCaptionsGlyphsAndRingsInDevicePixels)
{
    Key(Qt::Key_Return);
    const QImage stop = Grab("cmd_StartStop");
    EXPECT_EQ(stop.size(), Find<QWidget>("cmd_StartStop")->size() * 2);
    EXPECT_GT(SplitBlocks(stop, stop.rect().adjusted(8, 8, -8, -8)), 0) << "the caption STOP";
    Key(Qt::Key_Pause);  // upright bars are whole blocks anyway: the triangle shows it
    const QImage play = Grab("bPause");
    EXPECT_GT(SplitBlocks(play, play.rect().adjusted(6, 6, -6, -6)), 0) << "the play triangle";
    // The round buttons' rings and glyphs; the minimise button's ring shows
    // only under the pointer, so its caption stands for it.
    for (const char* oval : {"sbSound", "MMenu", "smMinimize"}) {
        const QImage shot = Grab(oval);
        EXPECT_GT(SplitBlocks(shot, shot.rect()), 0) << oval;
    }
}

TEST_F(HighDpiTest, TheLampsAndTheDialUseEveryDevicePixel)
{
    const QImage lamp = Grab("Led_CountDown");
    EXPECT_GT(SplitBlocks(lamp, lamp.rect()), 0) << "the mode LED";
    auto* lock = Find<QWidget>("Ledlock");
    lock->show();  // it shows only while the barriers' port is open
    const QImage lockLamp = lock->grab().toImage();
    EXPECT_GT(SplitBlocks(lockLamp, lockLamp.rect()), 0) << "the lock LED";
    const QImage dial = Grab("Image1");
    EXPECT_GT(SplitBlocks(dial, dial.rect()), dial.width()) << "the dial's rings and marks";
}

}  // namespace
}  // namespace chronivel
