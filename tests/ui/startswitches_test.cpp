// The /D and /R switches as the user sees them: in the started main window.
#include <QImage>

#include "tests/ui/mainwindow_fixture.h"
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

}  // namespace
}  // namespace chronivel
