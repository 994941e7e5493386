// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/monitorchoice.h"

#include <gtest/gtest.h>

#include "core/chronivelapp.h"
#include "tests/core/fakemodel.h"

namespace chronivel {
namespace {

const std::vector<MonitorSize> Laptop{{1920, 1080}};
const std::vector<MonitorSize> WithProjector{{1920, 1080}, {1280, 720}};
const std::vector<MonitorSize> ThreeScreens{{2560, 1440}, {1920, 1080}, {3840, 2160}};

// Start-up shows the second readout only where there is a second monitor
// and the stored one is among the monitors there are.
TEST(MonitorChoice, StartShowsOnlyWithMoreThanOneMonitorAndAConnectedIndex)
{
    struct Case {
        int stored;
        std::vector<MonitorSize> monitors;
        int index;
        bool shown;
    };
    const std::vector<Case> cases{
        {-1, WithProjector, -1, false}, {1, WithProjector, 1, true},  {0, WithProjector, 0, true},
        {0, Laptop, 0, false},          {2, ThreeScreens, 2, true},   {2, WithProjector, -1, false},
        {99, Laptop, -1, false},        {-7, ThreeScreens, -1, false}, {0, {}, -1, false},
    };
    for (const Case& c : cases) {
        MonitorChoice choice(c.stored);
        choice.Start(c.monitors);
        EXPECT_EQ(choice.Index(), c.index) << c.stored << " of " << c.monitors.size();
        EXPECT_EQ(choice.Shown(), c.shown) << c.stored << " of " << c.monitors.size();
        EXPECT_EQ(choice.CheckedEntry(), c.shown ? c.index + 1 : 0) << "the check mark and the window agree";
        EXPECT_EQ(choice.Choosable(), c.monitors.size() > 1);
    }
}

TEST(MonitorChoice, SelectAndToggleAsTheSubmenuAndCtrlT)
{
    MonitorChoice choice;
    choice.Start(ThreeScreens);
    EXPECT_TRUE(choice.Select(1));
    EXPECT_EQ(choice.Index(), 1);
    EXPECT_TRUE(choice.Shown());
    EXPECT_FALSE(choice.Select(3)) << "no fourth monitor";
    EXPECT_FALSE(choice.Select(-2));
    EXPECT_EQ(choice.Index(), 1);
    EXPECT_TRUE(choice.Select(MonitorChoice::Off));
    EXPECT_FALSE(choice.Shown());

    // Ctrl+T goes to the last monitor whichever was chosen, and shows or hides.
    choice.Select(0);
    choice.Toggle();
    EXPECT_EQ(choice.Index(), 2);
    EXPECT_FALSE(choice.Shown()) << "it was shown";
    choice.Toggle();
    EXPECT_TRUE(choice.Shown());
    choice.Close();
    EXPECT_FALSE(choice.Shown());
    EXPECT_EQ(choice.Index(), 2) << "Esc leaves the monitor as chosen";

    MonitorChoice single;
    single.Start(Laptop);
    EXPECT_TRUE(single.Toggle()) << "one monitor: Ctrl+T still shows it there";
    EXPECT_EQ(single.Index(), 0);
    EXPECT_TRUE(single.Shown());
    MonitorChoice none;
    none.Start({});
    EXPECT_FALSE(none.Toggle());
    EXPECT_EQ(none.Index(), MonitorChoice::Off);
}

TEST(MonitorChoice, AWindowWhoseMonitorGoesMovesToTheLastThatRemains)
{
    MonitorChoice choice;
    choice.Start(ThreeScreens);
    choice.Select(2);
    choice.Change(WithProjector);
    EXPECT_EQ(choice.Index(), 1) << "another audience screen, not the operator's";
    EXPECT_TRUE(choice.Shown());
    choice.Change(Laptop);
    EXPECT_EQ(choice.Index(), 0);
    EXPECT_TRUE(choice.Shown());
    EXPECT_EQ(choice.Monitors(), Laptop) << "the submenu follows";
    choice.Change({});
    EXPECT_EQ(choice.Index(), MonitorChoice::Off);
    EXPECT_FALSE(choice.Shown());

    // Hidden, it has nothing to follow: off, and the check mark on "Off".
    MonitorChoice hidden;
    hidden.Start(ThreeScreens);
    hidden.Select(2);
    hidden.Close();
    hidden.Change(WithProjector);
    EXPECT_EQ(hidden.Index(), MonitorChoice::Off);
    EXPECT_FALSE(hidden.Shown());

    // A monitor that stays keeps the window; a new one does not take it.
    MonitorChoice staying;
    staying.Start(WithProjector);
    staying.Select(1);
    staying.Change(ThreeScreens);
    EXPECT_EQ(staying.Index(), 1);
    EXPECT_TRUE(staying.Shown());
}

// The model keeps the choice as the "Monitor" setting and tells its windows.
class SecondMonitorModel : public ::testing::Test, protected testing::FakeModel {
protected:
    class Listener final : public AppView {
    public:
        explicit Listener(const ChronivelApp& app) : app_(app) {}
        void SecondMonitorChanged() override
        {
            seen.emplace_back(app_.SecondMonitor().Index(), app_.SecondMonitor().Shown());
        }
        std::vector<std::pair<int, bool>> seen;

    private:
        const ChronivelApp& app_;
    };

    void Start(std::vector<MonitorSize> monitors)
    {
        app.Load("/data/Protocol.txt");
        app.StartMonitors(std::move(monitors));
        app.Resume();
    }
    std::int32_t StoredMonitor()
    {
        scheduler.Advance(SavePipeline::DelayMs);
        return store.values.at("Monitor").AsDword();
    }

    Listener window{app};
};

TEST_F(SecondMonitorModel, CommandsAndMonitorChangesAreStoredAndTold)
{
    store.values["Monitor"] = RegValue::Dword(1);
    app.AddView(window);
    Start(ThreeScreens);
    EXPECT_EQ(window.seen, (std::vector<std::pair<int, bool>>{{1, true}}));

    app.SelectMonitor(0);
    EXPECT_EQ(StoredMonitor(), 0);
    ASSERT_TRUE(app.Enabled(Command::SecondMonitor));
    app.Perform(Command::SecondMonitor);
    EXPECT_EQ(window.seen.back(), std::make_pair(2, false)) << "Ctrl+T: the last monitor, hidden as it was shown";
    app.Perform(Command::SecondMonitor);
    EXPECT_EQ(window.seen.back(), std::make_pair(2, true));
    EXPECT_EQ(StoredMonitor(), 2);

    app.MonitorsChanged(Laptop);
    EXPECT_EQ(window.seen.back(), std::make_pair(0, true)) << "back on the one monitor left";
    EXPECT_EQ(StoredMonitor(), 0);
    EXPECT_EQ(app.SecondMonitor().Monitors(), Laptop);

    app.SecondMonitorClosed();
    EXPECT_EQ(window.seen.back(), std::make_pair(0, false));
    app.SelectMonitor(5);
    EXPECT_EQ(window.seen.back(), std::make_pair(0, false)) << "no such monitor: nothing changes";
    app.RemoveView(window);
}

TEST_F(SecondMonitorModel, DamagedOrUnconnectedStoredMonitorsAreOff)
{
    struct Case {
        RegValue stored;
        std::vector<MonitorSize> monitors;
        bool told;
    };
    const std::vector<Case> cases{
        {RegValue::Dword(-2), WithProjector, true},
        {RegValue::Text("abc"), WithProjector, true},
        {RegValue::Dword(99), Laptop, false},
        {RegValue::Dword(2), WithProjector, false},
    };
    for (const Case& c : cases) {
        testing::FakeModel model;
        model.store.values["Monitor"] = c.stored;
        const std::string problem = model.app.Load("/data/Protocol.txt");
        EXPECT_EQ(problem.find("'Monitor'") != std::string::npos, c.told) << problem;
        model.app.StartMonitors(c.monitors);
        model.app.Resume();
        EXPECT_EQ(model.app.SecondMonitor().Index(), MonitorChoice::Off);
        EXPECT_FALSE(model.app.SecondMonitor().Shown());
        model.scheduler.Advance(SavePipeline::DelayMs);
        if (!c.told) {
            EXPECT_EQ(model.store.values.at("Monitor"), RegValue::Dword(-1)) << "a monitor not there is off";
        }
    }
}

}  // namespace
}  // namespace chronivel
