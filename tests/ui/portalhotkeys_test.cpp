// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/portalhotkeys.h"

#include <QTest>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/command.h"
#include "tests/core/fakemodel.h"
#include "tests/ui/fakeportal.h"

namespace chronivel {
namespace {

using testing::FakePortal;
using testing::PrivateBus;

// The model with its hot keys bound through the portal on a private bus;
// the portal stand-in is there unless a test takes it away.
class PortalHotKeysTest : public ::testing::Test {
protected:
    PortalHotKeysTest()
    {
        model.store.exists = false;
        app.AddView(window);
        app.Load("/data/Protocol.txt");
        app.Resume();
        portal.emplace(bus.Connect(QStringLiteral("portal")));
        grabber.reportInfo = [this](const std::string& message) { told.push_back(message); };
    }
    ~PortalHotKeysTest() override { app.RemoveView(window); }

    static bool WaitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 30'000); }
    static std::string Text(const QVariant& value) { return value.toString().toStdString(); }

    // Before the model, which gives its keys back to the grabber at its end.
    PrivateBus bus;
    std::optional<FakePortal> portal;
    QDBusConnection appBus = bus.Connect(QStringLiteral("chronivel"));
    PortalHotKeys grabber{appBus};
    std::vector<std::string> told;

    testing::FakeModel model;
    ChronivelApp& app = model.app;
    testing::RecordingView window;
};

TEST_F(PortalHotKeysTest, BindsTheThreeHotKeysInOneCallAndActsOnTheirActivation)
{
    app.RegisterHotKeys(grabber);
    EXPECT_TRUE(app.HotKeyRegistered(0) && app.HotKeyRegistered(1) && app.HotKeyRegistered(2));
    EXPECT_TRUE(portal->sessions.empty()) << "the portal is asked once the event loop runs, not per key";

    ASSERT_TRUE(WaitFor([&] { return !portal->binds.empty(); }));
    PrivateBus::Settle(appBus);
    ASSERT_EQ(portal->sessions.size(), 1);
    ASSERT_EQ(portal->binds.size(), 1) << "all three in one call";
    const FakePortal::Bind& bind = portal->binds[0];
    EXPECT_EQ(bind.session, portal->sessions[0]);
    EXPECT_EQ(bind.parentWindow, QString());
    ASSERT_EQ(bind.shortcuts.size(), 3);
    const char* const expected[][3] = {
        {"0", "Start, stop or reset", "CTRL+SHIFT+F12"},
        {"1", "Take a lap", "CTRL+SHIFT+F11"},
        {"2", "Minimise Chronivel", "CTRL+SHIFT+space"},
    };
    for (int i = 0; i < 3; ++i) {
        const PortalShortcut& shortcut = bind.shortcuts[i];
        EXPECT_EQ(shortcut.id.toStdString(), expected[i][0]);
        EXPECT_EQ(Text(shortcut.properties.value(QStringLiteral("description"))), expected[i][1]);
        EXPECT_EQ(Text(shortcut.properties.value(QStringLiteral("preferred_trigger"))), expected[i][2]);
    }

    // An unknown id, and the start key of a session that is not ours, do
    // nothing; the minimise key after them shows they were read.
    portal->Activate(QStringLiteral("7"), portal->sessions[0]);
    portal->Activate(QStringLiteral("0"), portal->sessions[0] + QStringLiteral("x"));
    portal->Activate(QStringLiteral("2"), portal->sessions[0]);
    ASSERT_TRUE(WaitFor([&] { return !window.performed.empty(); }));
    EXPECT_EQ(window.performed, std::vector<Command>{Command::Minimize});
    EXPECT_EQ(app.Clock().State(), RunState::Ready);

    portal->Activate(QStringLiteral("0"), portal->sessions[0]);
    EXPECT_TRUE(WaitFor([&] { return app.Clock().State() == RunState::Running; }));
    EXPECT_TRUE(told.empty()) << told.front();

    app.Shutdown();
    EXPECT_TRUE(WaitFor([&] { return !portal->closed.empty(); })) << "the end gives the session back";
    EXPECT_EQ(portal->closed, portal->sessions);
}

TEST_F(PortalHotKeysTest, WithoutAPortalTheUserIsToldOnceWhatDoesNotWorkAndWhy)
{
    portal.reset();
    app.RegisterHotKeys(grabber);
    ASSERT_TRUE(WaitFor([&] { return !told.empty(); }));
    PrivateBus::Settle(appBus);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0],
              "The system-wide hot keys Ctrl+Shift+F12, Ctrl+Shift+F11 and Ctrl+Shift+Space do nothing: the desktop "
              "has no global shortcuts portal (org.freedesktop.portal.GlobalShortcuts). Chronivel's own keys work "
              "while its window is in front.");

    app.Shutdown();
    EXPECT_TRUE(grabber.Grab(0, {HotKey::Ctrl, 87}));  // a second try fails the same way: not told twice
    QCoreApplication::processEvents();
    PrivateBus::Settle(appBus);
    EXPECT_EQ(told.size(), 1u);
}

TEST_F(PortalHotKeysTest, AKeyThePortalLeavesOutIsToldTheOthersStillWork)
{
    portal->leaveOut = QStringList{QStringLiteral("1")};
    app.RegisterHotKeys(grabber);
    ASSERT_TRUE(WaitFor([&] { return !told.empty(); }));
    EXPECT_EQ(told[0],
              "The system-wide hot key Ctrl+Shift+F11 does nothing: the desktop's global shortcuts portal did not "
              "bind it. Chronivel's own keys work while its window is in front.");
    portal->Activate(QStringLiteral("0"), portal->sessions[0]);
    EXPECT_TRUE(WaitFor([&] { return app.Clock().State() == RunState::Running; }));
    app.Shutdown();
}

TEST_F(PortalHotKeysTest, ARefusedBindIsToldAndItsSessionClosed)
{
    portal->bindResponse = 2;
    app.RegisterHotKeys(grabber);
    ASSERT_TRUE(WaitFor([&] { return !told.empty(); }));
    EXPECT_EQ(told[0],
              "The system-wide hot keys Ctrl+Shift+F12, Ctrl+Shift+F11 and Ctrl+Shift+Space do nothing: the "
              "desktop's global shortcuts portal did not bind them: the request was refused (response 2). "
              "Chronivel's own keys work while its window is in front.");
    EXPECT_TRUE(WaitFor([&] { return !portal->closed.empty(); }));
    EXPECT_EQ(portal->closed, portal->sessions);
    app.Shutdown();
}

TEST_F(PortalHotKeysTest, AKeyGrabbedOnceTheSessionIsOpenIsBoundAtOnceInThePortalsTerms)
{
    app.RegisterHotKeys(grabber);
    ASSERT_TRUE(WaitFor([&] { return !portal->binds.empty(); }));
    PrivateBus::Settle(appBus);
    EXPECT_TRUE(grabber.Grab(5, {HotKey::Alt | HotKey::WindowsKey, 34}));      // A
    EXPECT_TRUE(grabber.Grab(6, {HotKey::Ctrl, 65}));                          // 5 on the number pad
    EXPECT_TRUE(grabber.Grab(7, {HotKey::Shift, 22}));                         // Delete
    ASSERT_TRUE(WaitFor([&] { return portal->binds.size() == 4; }));
    EXPECT_EQ(portal->sessions.size(), 1) << "the same session";
    const QList<PortalShortcut>& last = portal->binds.last().shortcuts;
    ASSERT_EQ(last.size(), 6) << "a bind names all of the session's shortcuts";
    const char* const expected[][3] = {
        {"5", "Alt+Meta+A", "ALT+LOGO+a"},
        {"6", "Ctrl+Num+5", "CTRL+KP_5"},
        {"7", "Shift+Del", "SHIFT+Delete"},
    };
    for (int i = 0; i < 3; ++i) {
        const PortalShortcut& shortcut = last[3 + i];
        EXPECT_EQ(shortcut.id.toStdString(), expected[i][0]);
        EXPECT_EQ(Text(shortcut.properties.value(QStringLiteral("description"))), expected[i][1]);
        EXPECT_EQ(Text(shortcut.properties.value(QStringLiteral("preferred_trigger"))), expected[i][2]);
    }
    app.Shutdown();
    PrivateBus::Settle(appBus);
    EXPECT_TRUE(portal->closed.empty()) << "three keys are still grabbed";
    for (int id : {5, 6, 7}) grabber.Release(id, {});
    EXPECT_TRUE(WaitFor([&] { return !portal->closed.empty(); })) << "the last release closes the session";
}

}  // namespace
}  // namespace chronivel
