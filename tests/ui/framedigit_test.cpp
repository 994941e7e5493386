// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/framedigit.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/sevensegment.h"
#include "ui/digit.h"
#include "tests/core/shownformat.h"

namespace chronivel {
namespace {

using testing::FormatOf;
using testing::Shown;


// Pixels of `digit` as it paints itself that are neither background nor unlit segment.
int LitPixels(TDigit& digit)
{
    const QImage image = digit.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)) != digit.Color() && QColor(image.pixel(x, y)) != digit.ColorOff()) ++lit;
    return lit;
}

class FrameDigitTest : public ::testing::Test {
protected:
    void Make(TFrameDigit::Row row, const TimeFormat& format, QSize size = {1920, 348})
    {
        frame = std::make_unique<TFrameDigit>(row);
        frame->SetFormat(format);
        frame->resize(size);
        frame->FrameResize();
    }
    void Show(std::int64_t value) { frame->ShowValue(value, Shown(value, frame->Format())); }

    // The digits Digit1..Digit9 show, as a string; '_' for no segments.
    std::string Digits() const
    {
        std::string s;
        for (int n = 1; n <= 9; ++n) {
            const TDigit* d = frame->Digit(n);
            if (d->ValueBinary() == 0) s += '_';
            else if (d->ValueBinary() == DigitPatterns[d->Value()]) s += static_cast<char>('0' + d->Value());
            else s += '?';
        }
        return s;
    }
    // "D" for each dim, "b" for each bright one of Digit1..Digit9, LabelHour, LabelMin, LabelSec.
    std::string Colours() const
    {
        std::string s;
        for (int n = 1; n <= 9; ++n) s += frame->Digit(n)->ColorOn() == TFrameDigit::Dim ? 'D' : 'b';
        s += ' ';
        for (const BigLabel l : {BigLabel::Hour, BigLabel::Min, BigLabel::Sec})
            s += frame->Label(l)->palette().color(QPalette::WindowText) == TFrameDigit::Dim ? 'D' : 'b';
        return s;
    }

    std::unique_ptr<TFrameDigit> frame;
};

TEST_F(FrameDigitTest, NineBlackDigitsAndThreeMarks)
{
    Make(TFrameDigit::Row::Time, FormatOf(0));
    for (int n = 1; n <= 9; ++n) {
        const TDigit* d = frame->findChild<TDigit*>(QStringLiteral("Digit%1").arg(n));
        ASSERT_EQ(d, frame->Digit(n)) << n;
        EXPECT_EQ(d->Color(), QColor(Qt::black));
        EXPECT_EQ(d->ColorOff(), QColor(Qt::black)) << "unlit segments are invisible";
        EXPECT_EQ(d->Separation(), 0);
        EXPECT_EQ(d->Thickness(), 20);
    }
    EXPECT_EQ(Digits(), "000000000");
    EXPECT_EQ(Colours(), "DDDDDbbbb DDb");
    EXPECT_EQ(TFrameDigit::Dim, QColor(64, 64, 64));
    EXPECT_EQ(TFrameDigit::Bright, QColor(255, 255, 0));
    const std::pair<const char*, const char*> marks[] = {{"LabelHour", ":"}, {"LabelMin", "."}, {"LabelSec", ","}};
    for (const auto& [name, text] : marks) {
        const QLabel* label = frame->findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), QString::fromLatin1(text));
        EXPECT_EQ(label->font().family(), QStringLiteral("Times New Roman"));
        EXPECT_TRUE(label->font().bold());
        EXPECT_EQ(label->font().pointSize(), 160);
        EXPECT_FALSE(label->autoFillBackground()) << "transparent";
        EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);
    }
    EXPECT_TRUE(frame->Label(BigLabel::Hour)->alignment() & Qt::AlignVCenter);
    EXPECT_TRUE(frame->Label(BigLabel::Sec)->alignment() & Qt::AlignBottom);
    EXPECT_EQ(frame->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_TRUE(frame->autoFillBackground());
}

TEST_F(FrameDigitTest, ResizingLaysTheRowOut)
{
    Make(TFrameDigit::Row::Time, FormatOf(0));
    const int lefts[] = {40, 220, 490, 670, 940, 1120, 1390, 1570, 1750};
    for (int n = 1; n <= 9; ++n) EXPECT_EQ(frame->Digit(n)->geometry(), QRect(lefts[n - 1], 0, 160, 313)) << n;
    EXPECT_EQ(frame->Label(BigLabel::Min)->geometry(), QRect(830, 0, 110, 353));
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    frame->resize(960, 348);  // a resize alone lays it out again
    EXPECT_EQ(frame->Digit(9)->geometry(), QRect(875, 0, 80, 313));
    EXPECT_EQ(frame->Digit(9)->Thickness(), 10);
    frame->resize(96, 348);
    EXPECT_EQ(frame->Digit(9)->Thickness(), 1);
    frame->resize(1920, 348);  // from 8 pixels wide, a digit refuses a stroke of 20 until it has grown
    EXPECT_EQ(frame->Digit(9)->Thickness(), 20);
}

TEST_F(FrameDigitTest, TheFormatChoosesWhichDigitsAndMarksShow)
{
    Make(TFrameDigit::Row::Time, FormatOf(0, false));
    EXPECT_EQ(frame->Digit(3)->x(), frame->Digit(3)->Thickness());
    EXPECT_TRUE(frame->Label(BigLabel::Hour)->isHidden());
    EXPECT_FALSE(frame->Label(BigLabel::Min)->isHidden());
    frame->SetFormat(FormatOf(3));
    frame->FrameResize();
    EXPECT_TRUE(frame->Label(BigLabel::Hour)->isHidden());
    EXPECT_TRUE(frame->Label(BigLabel::Min)->isHidden());
    EXPECT_FALSE(frame->Label(BigLabel::Sec)->isHidden());
    EXPECT_FALSE(frame->Digit(8)->isHidden());
    EXPECT_TRUE(frame->Digit(9)->isHidden());
    frame->SetFormat(FormatOf(4));
    frame->FrameResize();
    EXPECT_TRUE(frame->Digit(8)->isHidden());
    EXPECT_FALSE(frame->Label(BigLabel::Hour)->isHidden());
}

TEST_F(FrameDigitTest, ATinyFrameNeitherCrashesNorAsksForAFontOfNoSize)
{
    static std::vector<QString> warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& message) { warnings.push_back(message); });
    for (const QSize size : {QSize(5, 5), QSize(0, 0)}) {
        Make(TFrameDigit::Row::Lap, FormatOf(0), size);
        Show(3'723'456);
        EXPECT_GE(frame->Label(BigLabel::Sec)->font().pointSize(), 1);
        EXPECT_GE(frame->Digit(1)->Thickness(), 0);
        frame->grab();
    }
    qInstallMessageHandler(previous);
    for (const QString& warning : warnings) ADD_FAILURE() << warning.toStdString();
}

TEST_F(FrameDigitTest, TheTimeRowCopiesTheReadoutAndLightsItsSignificantDigits)
{
    Make(TFrameDigit::Row::Time, FormatOf(0));
    Show(3'723'456);
    EXPECT_EQ(Digits(), "010203456");
    EXPECT_EQ(Colours(), "Dbbbbbbbb bbb");
    Show(61'000);
    EXPECT_EQ(Digits(), "000101000");
    EXPECT_EQ(Colours(), "DDDbbbbbb Dbb") << "the hours are leading zeros again";
    Show(0);
    EXPECT_EQ(Colours(), "DDDDDbbbb DDb");
    // The time row copies the readout even at 0: a countdown's zero shows as the readout draws it.
    frame->ShowValue(0, Shown(5'000, frame->Format()));
    EXPECT_EQ(Digits(), "000005000");
}

TEST_F(FrameDigitTest, TheLapRowShowsALapAResetAndTheCountdownSwitch)
{
    Make(TFrameDigit::Row::Lap, FormatOf(0));
    const ReadoutDigits running = Shown(125'300, frame->Format());
    frame->ShowValue(125'300, running);  // a lap at 2:05.3
    EXPECT_EQ(Digits(), "000205300");
    EXPECT_EQ(Colours(), "DDDbbbbbb Dbb");
    frame->ShowValue(7'250, Shown(7'250, frame->Format()));  // a shorter lap dims what the longer one lit
    EXPECT_EQ(Colours(), "DDDDDbbbb DDb");
    // A reset: zeros whatever the readout still shows.
    frame->ShowValue(0, running);
    EXPECT_EQ(Digits(), "000000000");
    EXPECT_EQ(Colours(), "DDDDDbbbb DDb");
    // Countdown on: its time; off again: 0.
    frame->ShowValue(600'000, Shown(600'000, frame->Format()));
    EXPECT_EQ(Digits(), "001000000");
    EXPECT_EQ(Colours(), "DDbbbbbbb Dbb");
    frame->ShowValue(0, Shown(600'000, frame->Format()));
    EXPECT_EQ(Digits(), "000000000");
}

TEST_F(FrameDigitTest, ABlankPositionShowsNoSegmentAndNoOverflow)
{
    Make(TFrameDigit::Row::Time, FormatOf(0), {960, 200});
    std::vector<std::unique_ptr<QSignalSpy>> overflows;
    for (int n = 1; n <= 9; ++n) overflows.push_back(std::make_unique<QSignalSpy>(frame->Digit(n), &TDigit::overflow));
    ReadoutDigits shown;
    shown.Update("1.05,120", frame->Format());  // the readout leaves the hours blank
    frame->ShowValue(65'120, shown);
    EXPECT_EQ(Digits(), "___105120");
    EXPECT_EQ(LitPixels(*frame->Digit(1)), 0);
    EXPECT_GT(LitPixels(*frame->Digit(4)), 0);
    for (int n = 1; n <= 9; ++n) EXPECT_EQ(overflows[n - 1]->count(), 0) << "Digit" << n;
    // A blank digit that shows its old number again lights up again.
    Show(65'120);
    EXPECT_EQ(Digits(), "000105120");
    EXPECT_GT(LitPixels(*frame->Digit(1)), 0);
}

TEST_F(FrameDigitTest, OnlyTheDigitsThatChangeRepaint)
{
    Make(TFrameDigit::Row::Time, FormatOf(0), {960, 200});
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    Show(3'723'456);
    QTest::qWait(50);
    std::array<int, 9> before{};
    for (int n = 1; n <= 9; ++n) before[n - 1] = frame->Digit(n)->PaintCount();
    Show(3'723'457);
    Show(3'723'457);
    for (int n = 1; n <= 8; ++n) EXPECT_EQ(frame->Digit(n)->PaintCount(), before[n - 1]) << "Digit" << n;
    EXPECT_EQ(frame->Digit(9)->PaintCount(), before[8] + 1);
}

// Drawn at twice the resolution, a digit is as sharp as at its own: every
// pixel is lit, unlit or background (no blur), and the slanted ends of the
// bars step by device pixels, not by blown-up 2 × 2 blocks.
TEST(DigitAtDoubleResolution, PaintsSharpInDevicePixels)
{
    TDigit digit;
    digit.resize(80, 160);
    digit.SetThickness(10);
    digit.SetValue(8);
    QImage image(digit.size() * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    image.fill(Qt::red);
    digit.render(&image);
    int split = 0;
    for (int y = 0; y + 1 < image.height(); y += 2)
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb c = image.pixel(x, y);
            if (image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c || image.pixel(x + 1, y + 1) != c) ++split;
        }
    EXPECT_GT(split, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c(image.pixel(x, y));
            ASSERT_TRUE(c == digit.Color() || c == digit.ColorOn()) << x << "," << y << " " << c.name().toStdString();
        }
}

}  // namespace
}  // namespace chronivel
