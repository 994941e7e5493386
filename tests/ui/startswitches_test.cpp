// SPDX-License-Identifier: GPL-3.0-or-later
// The /D and /R switches as the user sees them: in the started main window.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>

#include "core/commandline.h"
#include "core/timetext.h"
#include "tests/ui/mainwindow_fixture.h"
#include "ui/help.h"
#include "ui/readout.h"

namespace chronivel {
namespace {

using StartSwitchesTest = testing::MainWindowFixture;

bool Lit(QWidget& image)
{
    const QImage pixels = image.grab().toImage();
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            if (pixels.pixelColor(x, y).green() > 128) return true;
    return false;
}

TEST_F(StartSwitchesTest, FewerDigitsLeaveNoSeparatorBeforeTheFirstDigit)
{
    Start({7, 100});  // "00.00,000"
    auto* readout = Find<Readout>("lbl_Tickmor");
    EXPECT_FALSE(Lit(*readout->Image(9)));
    EXPECT_FALSE(Lit(*readout->Image(8)));
    EXPECT_FALSE(Lit(*readout->Image(10))) << "a colon where the hours would be";
    EXPECT_TRUE(Lit(*readout->Image(11)));
    EXPECT_TRUE(Lit(*readout->Image(12)));
}

TEST_F(StartSwitchesTest, SecondsOnlyShowNoStraySeparators)
{
    for (int count : {0, 1, -3}) {
        Start({count, 100});  // "0,000"
        auto* readout = Find<Readout>("lbl_Tickmor");
        EXPECT_FALSE(Lit(*readout->Image(10))) << "/D" << count;
        EXPECT_FALSE(Lit(*readout->Image(11))) << "/D" << count;
        EXPECT_TRUE(Lit(*readout->Image(4))) << "/D" << count;
        EXPECT_TRUE(Lit(*readout->Image(12))) << "/D" << count;
        window->Shutdown();
    }
}

// The text of a manual page, without its markup.
QString PageText(const QString& name)
{
    QFile file(QFileInfo(FindManual(QCoreApplication::applicationDirPath())).absoluteDir().filePath(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QString text = QString::fromUtf8(file.readAll());
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return text.simplified();
}

// What the manual tells a user to type does what it says it does.
TEST(StartSwitches, TheManualPromisesWhatTheSwitchesDo)
{
    const QRegularExpression sentences(QStringLiteral("[.;]\\s"));
    const QRegularExpression bare(QStringLiteral("(/[DR])(?![0-9n-])"));
    for (const char* name : {"setup.html", "window.html"}) {
        const QString text = PageText(QLatin1String(name));
        ASSERT_FALSE(text.isEmpty()) << name;
        for (const QString& sentence : text.split(sentences)) {
            // A switch without its number does nothing, and the manual must not say otherwise.
            if (sentence.contains(bare)) {
                const CommandLine line = ParseCommandLine({bare.match(sentence).captured(1).toStdString()});
                EXPECT_EQ(line.digitCount, 9);
                EXPECT_EQ(line.roundPercent, 100);
                EXPECT_TRUE(sentence.contains(QStringLiteral("ignored"))) << name << ": " << sentence.toStdString();
            }
        }
    }

    // Its examples of fewer digit positions are what the readout shows.
    const QString setup = PageText(QStringLiteral("setup.html"));
    TimeFormat format;
    for (const auto& [line, ms, shown] : {std::tuple{"/D7", 63'000, "01.03,000"}, {"/D7", 3'599'999, "59.59,999"},
                                          {"/D7", 3'600'000, "00.00,000"}, {"/D4", 3'000, "3,000"}}) {
        format.SetDigitCount(ParseCommandLine({line}).digitCount);
        EXPECT_EQ(TimeText(ms, format), shown) << line;
        EXPECT_TRUE(setup.contains(QLatin1String(shown))) << shown;
    }
}

}  // namespace
}  // namespace chronivel
