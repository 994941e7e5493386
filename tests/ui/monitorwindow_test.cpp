// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/monitorwindow.h"

#include <QDir>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

#include <tuple>

#include "core/sevensegment.h"
#include "ui/digit.h"
#include "ui/framedigit.h"
#include "tests/core/shownformat.h"

namespace chronivel {
namespace {

using testing::FormatOf;
using testing::Shown;


class MonitorWindowTest : public ::testing::Test {
protected:
    template <typename T = QWidget>
    T* Find(const char* name) const
    {
        T* child = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    TFrameDigit* Frame(int row) const { return Find<TFrameDigit>(row == 1 ? "FrameDigit1" : "FrameDigit2"); }
    // Top edges, in the window, of the widgets named, in order.
    std::vector<int> Tops(std::initializer_list<const char*> names) const
    {
        std::vector<int> tops;
        for (const char* name : names) tops.push_back(Find(name)->mapTo(&window, QPoint(0, 0)).y());
        return tops;
    }

    TFormMonitor2 window{QStringLiteral("Tuesday, 4 March 2025")};
};

TEST_F(MonitorWindowTest, PanelsCaptionsAndColours)
{
    EXPECT_EQ(window.objectName(), QStringLiteral("FormMonitor2"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Monitor 2"));
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window.font().family(), QStringLiteral("Arial"));
    EXPECT_TRUE(window.font().bold());
    EXPECT_EQ(window.palette().color(QPalette::WindowText), QColor(Qt::white));

    EXPECT_EQ(Find<QLabel>("PanelTitle")->text(), QStringLiteral("Tuesday, 4 March 2025"));
    EXPECT_EQ(Find<QLabel>("PanelTitle")->palette().color(QPalette::Window), QColor(0, 0, 128));
    EXPECT_EQ(Find<QLabel>("Label2")->text(), QStringLiteral(" Time:"));
    EXPECT_EQ(Find<QLabel>("LabelLap")->text(), QStringLiteral(" Lap:"));
    for (const char* name : {"Label2", "LabelLap"}) {
        const QLabel* label = Find<QLabel>(name);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 255, 0)) << name;
        EXPECT_EQ(label->alignment(), Qt::AlignLeft | Qt::AlignVCenter) << name;
        EXPECT_EQ(label->parentWidget()->palette().color(QPalette::Window), QColor(Qt::black)) << name;
    }
    EXPECT_EQ(Find<QLabel>("LabelLap")->parentWidget()->objectName(), QStringLiteral("PanelLab2"));
    EXPECT_EQ(Find<QLabel>("PanelBottom")->text(), QStringLiteral("Orvantis"));
    EXPECT_EQ(Find<QLabel>("PanelBottom")->palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(Find<QLabel>("PanelBottom")->palette().color(QPalette::WindowText), QColor(Qt::black));
    window.SetLapCaption(QStringLiteral(" Lap 3:"));
    EXPECT_EQ(Find<QLabel>("LabelLap")->text(), QStringLiteral(" Lap 3:"));
}

TEST_F(MonitorWindowTest, NoPointerOverTheBigDisplay)
{
    EXPECT_EQ(window.cursor().shape(), Qt::BlankCursor);
    for (QWidget* child : window.findChildren<QWidget*>())
        EXPECT_EQ(child->cursor().shape(), Qt::BlankCursor) << child->objectName().toStdString();
}

TEST_F(MonitorWindowTest, EscapeHidesIt)
{
    window.resize(640, 480);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_A);
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("\x1b"));
    QApplication::sendEvent(&window, &typed);
    EXPECT_FALSE(window.isVisible()) << "Escape as a typed character";
}

TEST_F(MonitorWindowTest, PlacedOnAMonitorItCoversIt)
{
    const QRect primary = QGuiApplication::primaryScreen()->geometry();
    window.resize(300, 200);
    EXPECT_FALSE(window.PlaceOnMonitor(static_cast<int>(QGuiApplication::screens().size())));
    EXPECT_FALSE(window.PlaceOnMonitor(-1));
    EXPECT_EQ(window.size(), QSize(300, 200)) << "a monitor that is not there changes nothing";
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);

    ASSERT_TRUE(window.PlaceOnMonitor(0));
    EXPECT_EQ(window.geometry(), primary);
    EXPECT_EQ(window.screen(), QGuiApplication::primaryScreen());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowStaysOnTopHint) << "on the primary monitor an ordinary window";
    EXPECT_EQ(Frame(2)->width(), primary.width()) << "and laid out for it";
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.geometry(), primary);
}

TEST_F(MonitorWindowTest, AFullHdWindowInRows)
{
    window.resize(640, 480);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.resize(1920, 1080);  // laid out anew on a resize
    EXPECT_EQ(Find<QLabel>("PanelTitle")->font().pointSize(), 96);
    EXPECT_EQ(Find("PanelLab1")->font().pointSize(), 64);
    EXPECT_EQ(Find("PanelBottom")->font().pointSize(), 64);
    // The title is as high as a line of its 128-pixel font, descenders and all.
    EXPECT_EQ(Tops({"PanelTitle", "PanelLab1", "FrameDigit1", "PanelLab2", "FrameDigit2", "PanelBottom"}),
              (std::vector<int>{0, 143, 249, 597, 703, 986}));
    EXPECT_EQ(Frame(1)->size(), QSize(1920, 348));
    EXPECT_EQ(Frame(2)->size(), QSize(1920, 283));
    EXPECT_EQ(Find("PanelBottom")->height(), 94);
    const int lefts[] = {40, 220, 490, 670, 940, 1120, 1390, 1570, 1750};
    for (int row = 1; row <= 2; ++row)
        for (int n = 1; n <= 9; ++n) EXPECT_EQ(Frame(row)->Digit(n)->x(), lefts[n - 1]) << "row " << row << " digit " << n;
    EXPECT_EQ(Frame(1)->Digit(9)->geometry().right() + 1, 1910);
    EXPECT_EQ(Frame(1)->Digit(1)->height(), 313);
    EXPECT_EQ(Frame(2)->Digit(1)->height(), 255);
}

TEST_F(MonitorWindowTest, OtherMonitorSizesStackTheRowsWithoutOverlap)
{
    for (const QSize size : {QSize(1280, 1024), QSize(3840, 2160), QSize(800, 600), QSize(5, 5), QSize(0, 0)}) {
        window.resize(size);
        window.LayoutMonitor();
        const char* rows[] = {"PanelTitle", "PanelLab1", "FrameDigit1", "PanelLab2", "FrameDigit2", "PanelBottom"};
        int bottom = 0;
        for (const char* name : rows) {
            const QRect box = Find(name)->geometry();
            EXPECT_GE(box.height(), 0) << name << " at " << size.width() << "x" << size.height();
            EXPECT_EQ(box.width(), size.width()) << name;
            // A window smaller than its panels' fonts cannot keep them apart.
            if (size.height() >= 600) {
                EXPECT_GE(box.top(), bottom) << name << " at " << size.width() << "x" << size.height();
            }
            bottom = box.top() + box.height();
        }
        if (size.height() >= 600) {
            EXPECT_EQ(bottom, size.height()) << "the bottom panel ends the window";
            EXPECT_GE(Find("PanelLab2")->y(), size.height() / 2);
            for (int row = 1; row <= 2; ++row) {
                const TFrameDigit* frame = Frame(row);
                EXPECT_GT(frame->Digit(1)->x(), 0);
                EXPECT_LE(frame->Digit(9)->geometry().right(), size.width());
                EXPECT_LE(frame->Digit(9)->height(), frame->height());
            }
        }
    }
}

TEST_F(MonitorWindowTest, TheFormatReachesBothRows)
{
    window.resize(1920, 1080);
    window.LayoutMonitor();
    window.SetFormat(FormatOf(0, false));
    for (int row = 1; row <= 2; ++row) {
        EXPECT_TRUE(Frame(row)->Label(BigLabel::Hour)->isHidden()) << row;
        EXPECT_FALSE(Frame(row)->Label(BigLabel::Min)->isHidden()) << row;
        EXPECT_EQ(Frame(row)->Digit(3)->x(), Frame(row)->Digit(3)->Thickness()) << row;
    }
    window.SetFormat(FormatOf(5));
    for (int row = 1; row <= 2; ++row) {
        EXPECT_TRUE(Frame(row)->Label(BigLabel::Min)->isHidden()) << row;
        EXPECT_TRUE(Frame(row)->Digit(8)->isHidden()) << row;
        EXPECT_EQ(Frame(row)->Digit(1)->width(), 192) << row;
    }
}

TEST_F(MonitorWindowTest, TimeAndLapGoToTheirRows)
{
    const TimeFormat format = FormatOf(0);
    window.SetFormat(format);
    const ReadoutDigits running = Shown(3'723'456, format);
    window.ShowTime(3'723'456, running);
    window.ShowLap(0, running);
    for (int n = 1; n <= 9; ++n) {
        EXPECT_EQ(Frame(1)->Digit(n)->Value(), "010203456"[n - 1] - '0') << n;
        EXPECT_EQ(Frame(2)->Digit(n)->Value(), 0) << "a reset zeroes the lap row " << n;
    }
    window.ShowLap(65'120, Shown(65'120, format));
    EXPECT_EQ(Frame(2)->Digit(4)->Value(), 1);
    EXPECT_EQ(Frame(2)->Digit(4)->ColorOn(), TFrameDigit::Bright);
    EXPECT_EQ(Frame(1)->Digit(1)->ColorOn(), TFrameDigit::Dim);
}

// A monitor's size, a format and the hours shown or hidden.
using Screen = std::tuple<QSize, int, bool>;

class EveryMarkInsideTest : public MonitorWindowTest, public ::testing::WithParamInterface<Screen> {
protected:
    QRect InWindow(const QWidget* widget) const { return {widget->mapTo(&window, QPoint(0, 0)), widget->size()}; }
};

// What the window shows of a digit or a letter is what lies inside it: a
// digit past the screen's edge, a descender below its panel is cut off.
TEST_P(EveryMarkInsideTest, EveryDigitAndLetterLiesInsideItsWidgetAndTheWindow)
{
    const auto [size, number, hours] = GetParam();
    window.resize(size);
    window.SetFormat(FormatOf(number, hours));
    for (const TDigit* digit : window.findChildren<TDigit*>()) {
        if (digit->isHidden()) continue;
        const QRect box = InWindow(digit);
        EXPECT_TRUE(window.rect().contains(box) && InWindow(digit->parentWidget()).contains(box))
            << digit->objectName().toStdString() << " at " << box.left() << ".." << box.right();
    }
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->isHidden() || label->text().isEmpty()) continue;
        // Where QLabel draws the line, and the ink of its letters on it.
        const QFontMetrics metrics(label->font());
        const QRect line = QStyle::alignedRect(Qt::LeftToRight, label->alignment(),
                                               QSize(metrics.horizontalAdvance(label->text()), metrics.height()),
                                               label->contentsRect());
        const QRect ink = metrics.tightBoundingRect(label->text()).translated(line.left(), line.top() + metrics.ascent());
        EXPECT_TRUE(label->contentsRect().contains(ink))
            << label->objectName().toStdString() << " \"" << label->text().toStdString() << "\" ink " << ink.top()
            << ".." << ink.bottom() << " in 0.." << label->height() - 1;
        EXPECT_TRUE(window.rect().contains(InWindow(label))) << label->objectName().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Monitors, EveryMarkInsideTest,
                         ::testing::Combine(::testing::Values(QSize(1280, 1024), QSize(1920, 1080), QSize(3840, 2160)),
                                            ::testing::Range(0, TimeFormat::FormatCount), ::testing::Bool()));

// Yellow pixels inside `area` of `picture`.
int Yellow(const QImage& picture, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (QColor(picture.pixel(x, y)) == QColor(255, 255, 0)) ++count;
    return count;
}

TEST_F(MonitorWindowTest, AFullHdPictureHasLitDigitsWhereTheyBelong)
{
    const TimeFormat format = FormatOf(0);
    window.resize(1920, 1080);
    window.SetFormat(format);  // lays the window out
    window.ShowTime(754'321, Shown(754'321, format));
    window.ShowLap(61'250, Shown(61'250, format));
    window.SetLapCaption(QStringLiteral(" Lap 2:"));
    const QImage picture = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), QSize(1920, 1080));
    const QString file = QDir::current().absoluteFilePath(QStringLiteral("monitor2-1920x1080.png"));
    EXPECT_TRUE(picture.save(file)) << file.toStdString();
    // 12:34.321: the minutes are lit, the hours dim; 1:01.25 lights one minute digit.
    for (int row = 1; row <= 2; ++row) {
        const TFrameDigit* frame = Frame(row);
        auto area = [&](int n) { return QRect(frame->Digit(n)->mapTo(&window, QPoint(0, 0)), frame->Digit(n)->size()); };
        EXPECT_EQ(Yellow(picture, area(1)), 0) << row;
        EXPECT_EQ(Yellow(picture, area(2)), 0) << row;
        EXPECT_EQ(Yellow(picture, area(3)) > 0, row == 1) << row;
        EXPECT_GT(Yellow(picture, area(4)), 0) << row;
        EXPECT_GT(Yellow(picture, area(9)), 0) << row;
    }
}

}  // namespace
}  // namespace chronivel
