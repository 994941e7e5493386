// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/hotkeys.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/command.h"
#include "tests/core/fakemodel.h"

namespace chronivel {
namespace {

// The system: it refuses the combinations another program holds, and logs
// every grab and release; a test presses keys through `pressed`.
class FakeGrabber final : public HotKeyGrabber {
public:
    std::set<std::pair<int, int>> heldElsewhere;  // modifiers, key
    std::vector<std::string> log;
    std::set<int> grabbed;

    bool Grab(int id, const HotKey& key) override
    {
        const bool refused = heldElsewhere.contains({key.modifiers, key.key});
        log.push_back((refused ? "refused " : "grab ") + std::to_string(id));
        if (refused) return false;
        EXPECT_TRUE(grabbed.insert(id).second) << "grabbed twice: " << id;
        return true;
    }
    void Release(int id, const HotKey&) override
    {
        log.push_back("release " + std::to_string(id));
        EXPECT_EQ(grabbed.erase(id), 1u) << "released without a grab: " << id;
    }
    void Press(int id) { pressed(id); }
};

using Log = std::vector<std::string>;

TEST(HotKeyList, RegistersInOrderOnceEachSkipsRefusedOnesAndReleasesEachOnce)
{
    FakeGrabber system;
    system.heldElsewhere.insert({HotKey::Ctrl | HotKey::Shift, 86});
    std::vector<int> presses;
    {
        HotKeyList list(system);
        list.onHotKey = [&](int index) { presses.push_back(index); };
        EXPECT_EQ(list.Add({HotKey::Ctrl | HotKey::Shift, 87}), 0);
        EXPECT_EQ(list.Add({HotKey::Ctrl | HotKey::Shift, 86}), 1);
        EXPECT_TRUE(system.log.empty()) << "nothing before the list is active";
        list.SetActive(true);
        list.SetActive(true);  // already active: nothing again
        EXPECT_EQ(list.Add({HotKey::Ctrl | HotKey::Shift, 9}), 2);  // registered at once
        EXPECT_EQ(system.log, (Log{"grab 0", "refused 1", "grab 2"}));
        EXPECT_TRUE(list.Registered(0));
        EXPECT_FALSE(list.Registered(1));
        EXPECT_TRUE(list.Registered(2));

        for (int id : {2, 1, 0, 7, -1}) system.Press(id);
        EXPECT_EQ(presses, (std::vector<int>{2, 0})) << "unknown and unregistered ids are ignored";

        list.SetActive(false);
        EXPECT_EQ(system.log.back(), "release 2");
        list.SetActive(true);
        system.log.clear();
    }
    EXPECT_EQ(system.log, (Log{"release 0", "release 2"})) << "the end releases what was registered, once";
    EXPECT_TRUE(system.grabbed.empty());
}

TEST(HotKeyList, KeyTableGivesTheVirtualKeys)
{
    EXPECT_EQ(VirtualKeyOf(0), 0);
    EXPECT_EQ(VirtualKeyOf(9), 0x20);    // Space
    EXPECT_EQ(VirtualKeyOf(18), 0x29);   // select
    EXPECT_EQ(VirtualKeyOf(19), 0x2B);   // execute: 0x2A is not in the table
    EXPECT_EQ(VirtualKeyOf(33), 0x39);   // 9
    EXPECT_EQ(VirtualKeyOf(34), 0x41);   // A
    EXPECT_EQ(VirtualKeyOf(75), 0x6F);   // numeric divide
    EXPECT_EQ(VirtualKeyOf(86), 0x7A);   // F11
    EXPECT_EQ(VirtualKeyOf(99), 0x87);   // F24
    EXPECT_EQ(VirtualKeyOf(100), 0x90);  // num lock
    EXPECT_EQ(VirtualKeyOf(102), 0);
    EXPECT_EQ(VirtualKeyOf(-1), 0);
}

TEST(HotKeyList, CombinationsReadAsTheManualAndTheDesktopNameThem)
{
    const struct {
        HotKey key;
        const char* text;
        const char* trigger;
    } cases[] = {{{HotKey::Ctrl | HotKey::Shift, 87}, "Ctrl+Shift+F12", "CTRL+SHIFT+F12"},
                 {{HotKey::Alt, 10}, "Alt+PgUp", "ALT+Page_Up"},
                 {{HotKey::WindowsKey | HotKey::Ctrl, 63}, "Ctrl+Meta+Num+3", "CTRL+LOGO+KP_3"},
                 {{0, 34}, "A", "a"}};
    for (const auto& c : cases) {
        EXPECT_EQ(HotKeyText(c.key), c.text);
        EXPECT_EQ(HotKeyText(c.key, true), c.trigger) << c.text;
    }
}

class HotKeysTest : public ::testing::Test, protected testing::FakeModel {
protected:
    HotKeysTest()
    {
        store.exists = false;
        app.AddView(window);
        app.Load("/data/Protocol.txt");
        app.Resume();
    }
    ~HotKeysTest() override { app.RemoveView(window); }

    testing::RecordingView window;
    FakeGrabber system;
};

TEST_F(HotKeysTest, ActAsAClickOnTheirCommandAndAreGivenBackAtTheEnd)
{
    system.heldElsewhere.insert({HotKey::Ctrl | HotKey::Shift, 86});  // another program has Ctrl+Shift+F11
    app.RegisterHotKeys(system);
    EXPECT_EQ(system.log, (Log{"grab 0", "refused 1", "grab 2"}));
    EXPECT_FALSE(app.HotKeyRegistered(1));

    system.Press(0);  // Ctrl+Shift+F12
    EXPECT_EQ(app.Clock().State(), RunState::Running);
    system.Press(1);  // refused: no lap
    EXPECT_EQ(app.Clock().Lines().Lines().size(), 1u);
    system.Press(2);
    EXPECT_EQ(window.performed, std::vector<Command>{Command::Minimize});
    system.Press(0);
    EXPECT_EQ(app.Clock().State(), RunState::Stopped);
    system.Press(0);
    EXPECT_EQ(app.Clock().State(), RunState::Ready);

    app.Shutdown();
    EXPECT_TRUE(system.grabbed.empty());
}

TEST_F(HotKeysTest, LapKeyDoesNothingWhileTheLapCommandIsDisabled)
{
    app.RegisterHotKeys(system);
    system.Press(1);
    EXPECT_TRUE(app.Clock().Lines().Lines().empty()) << "no run: no lap";
    system.Press(0);
    platform.Advance(1'000);
    system.Press(1);
    EXPECT_EQ(app.Clock().Lines().Lines().size(), 2u);
    app.Perform(Command::Pause);
    system.Press(1);
    EXPECT_EQ(app.Clock().Lines().Lines().size(), 2u) << "paused: no lap";
    app.Shutdown();
}

}  // namespace
}  // namespace chronivel
