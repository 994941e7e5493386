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
    PortalHotKeys grabber{QStringLiteral("Chronivel"), appBus};
    std::vector<std::string> told;

    testing::FakeModel model;
    ChronivelApp& app = model.app;
    testing::RecordingView window;
};

TEST_F(PortalHotKeysTest, ActsOnlyOnItsOwnSessionsShortcutsAndClosesTheSessionAtTheEnd)
{
    app.RegisterHotKeys(grabber);
    EXPECT_TRUE(app.HotKeyRegistered(0) && app.HotKeyRegistered(1) && app.HotKeyRegistered(2));
    EXPECT_TRUE(portal->sessions.empty()) << "the portal is asked once the event loop runs, not per key";
    ASSERT_TRUE(WaitFor([&] { return portal->lists == 1; }));
    PrivateBus::Settle(appBus);
    ASSERT_EQ(portal->sessions.size(), 1);
    EXPECT_TRUE(portal->sessions[0].endsWith(QStringLiteral("/chronivel_Chronivel")))
        << portal->sessions[0].toStdString();
    EXPECT_TRUE(portal->binds.empty()) << "all three were bound with the session";

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

// How a desktop answers, and what the user is told then.
struct Answer {
    const char* name;
    bool bindsOnCreate;
    QStringList heldElsewhere;
    uint bindResponse;
    QStringList keyless;  // what kglobalaccel gives no key
    const char* desktop;
    int binds;          // BindShortcuts calls
    const char* told;   // "" for nothing
};

class PortalAnswerTest : public PortalHotKeysTest, public ::testing::WithParamInterface<Answer> {};

TEST_P(PortalAnswerTest, WhatTheDesktopDidNotBindIsToldOnceWithWhereToChooseOtherKeys)
{
    const Answer& answer = GetParam();
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP");
    qputenv("XDG_CURRENT_DESKTOP", answer.desktop);
    portal->bindsOnCreate = answer.bindsOnCreate;
    portal->heldElsewhere = answer.heldElsewhere;
    portal->bindResponse = answer.bindResponse;
    QList<testing::KeyInfo> infos;
    for (const int id : {0, 1, 2}) {
        const QString name = QString::number(id);
        infos.append({name, {answer.keyless.contains(name) ? 0 : 0x7000000 + id}});
    }
    QDBusConnection kglobalaccelBus = bus.Connect(QStringLiteral("kglobalaccel"));
    testing::FakeKGlobalAccel kglobalaccel(kglobalaccelBus, SessionToken(QStringLiteral("Chronivel")), infos);
    app.RegisterHotKeys(grabber);
    ASSERT_TRUE(WaitFor([&] { return kglobalaccel.asked == 1 || !told.empty(); }));
    // Its answer has reached the program once both connections have settled.
    PrivateBus::Settle(kglobalaccelBus);
    PrivateBus::Settle(appBus);
    qputenv("XDG_CURRENT_DESKTOP", desktop);

    ASSERT_EQ(portal->binds.size(), answer.binds);
    const char* const named[][2] = {{"Start, stop or reset", "CTRL+SHIFT+F12"},
                                    {"Take a lap", "CTRL+SHIFT+F11"},
                                    {"Minimise Chronivel", "CTRL+SHIFT+space"}};
    for (const FakePortal::Bind& bind : portal->binds) {
        EXPECT_EQ(bind.shortcuts.size(), answer.bindsOnCreate ? answer.heldElsewhere.size() : 3)
            << "binds only what is missing";
        for (const PortalShortcut& shortcut : bind.shortcuts) {
            const auto& [description, trigger] = named[shortcut.id.toInt()];
            EXPECT_EQ(Text(shortcut.properties.value(QStringLiteral("description"))), description);
            EXPECT_EQ(Text(shortcut.properties.value(QStringLiteral("preferred_trigger"))), trigger);
        }
    }
    if (*answer.told == 0) {
        EXPECT_TRUE(told.empty()) << told.front();
    } else {
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0], std::string(answer.told) + " Chronivel's own keys work while its window is in front.");
    }
    if (!answer.heldElsewhere.contains(QStringLiteral("0")) && !answer.keyless.contains(QStringLiteral("0")) &&
        answer.bindResponse == 0) {
        portal->Activate(QStringLiteral("0"), portal->sessions[0]);
        EXPECT_TRUE(WaitFor([&] { return app.Clock().State() == RunState::Running; })) << "the bound keys work";
    }
    app.Shutdown();
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, PortalAnswerTest,
    ::testing::Values(
        Answer{"Plasma527BindsAllOnCreate", true, {}, 0, {}, "KDE", 0, ""},
        Answer{"NewerDesktopBindsAllOnBind", false, {}, 0, {}, "GNOME", 1, ""},
        Answer{"Plasma527OneHeldElsewhere", true, {QStringLiteral("1")}, 0, {}, "KDE", 1,
               "The system-wide hot key Ctrl+Shift+F11 does nothing: the desktop gave it no key (another program may "
               "hold it). Choose another key for it in System Settings, Shortcuts, \"chronivel_Chronivel\"."},
        Answer{"Plasma527KGlobalAccelGaveOneNoKey", true, {}, 0, {QStringLiteral("2")}, "KDE", 0,
               "The system-wide hot key Ctrl+Shift+Space does nothing: the desktop gave it no key (another program "
               "may hold it). Choose another key for it in System Settings, Shortcuts, \"chronivel_Chronivel\"."},
        Answer{"NewerDesktopAllHeldElsewhere", false, {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")},
               0, {}, "GNOME", 1,
               "The system-wide hot keys Ctrl+Shift+F12, Ctrl+Shift+F11 and Ctrl+Shift+Space do nothing: the desktop "
               "gave them no keys (another program may hold them). Choose other keys for them in the desktop's "
               "keyboard shortcut settings."},
        Answer{"BindRefused", false, {}, 2, {}, "GNOME", 1,
               "The system-wide hot keys Ctrl+Shift+F12, Ctrl+Shift+F11 and Ctrl+Shift+Space do nothing: the "
               "desktop's global shortcuts portal did not bind them: the request was refused (response 2)."}),
    [](const ::testing::TestParamInfo<Answer>& info) { return info.param.name; });

TEST_F(PortalHotKeysTest, WithoutAPortalTheUserIsToldOnceThatSystemWideKeysNeedANewerDesktop)
{
    portal.reset();
    app.RegisterHotKeys(grabber);
    ASSERT_TRUE(WaitFor([&] { return !told.empty(); }));
    PrivateBus::Settle(appBus);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0],
              "The system-wide hot keys Ctrl+Shift+F12, Ctrl+Shift+F11 and Ctrl+Shift+Space do nothing: the desktop "
              "has no global shortcuts portal (org.freedesktop.portal.GlobalShortcuts): system-wide keys need a "
              "newer desktop. Chronivel's own keys work while its window is in front.");

    app.Shutdown();
    EXPECT_TRUE(grabber.Grab(0, {HotKey::Ctrl, 87}));  // a second try fails the same way: not told twice
    QCoreApplication::processEvents();
    PrivateBus::Settle(appBus);
    EXPECT_EQ(told.size(), 1u);
}

TEST(SessionTokenTest, EveryTitleHasATokenOfItsOwnMadeOfTheCharactersAPortalAccepts)
{
    const std::pair<const char*, const char*> tokens[] = {
        {"Chronivel", "chronivel_Chronivel"},
        {"a b", "chronivel_a_20b"},
        {"a_20b", "chronivel_a_5F20b"},
        {"Zeit \u00fc", "chronivel_Zeit_20_C3_BC"},
    };
    for (const auto& [title, token] : tokens)
        EXPECT_EQ(SessionToken(QString::fromUtf8(title)).toStdString(), token) << title;
}

TEST_F(PortalHotKeysTest, AKeyGrabbedOnceTheSessionIsOpenIsBoundAtOnceInThePortalsTerms)
{
    portal->bindsOnCreate = false;
    app.RegisterHotKeys(grabber);
    ASSERT_TRUE(WaitFor([&] { return portal->lists == 1; }));
    PrivateBus::Settle(appBus);
    EXPECT_TRUE(grabber.Grab(5, {HotKey::Alt | HotKey::WindowsKey, 34}));      // A
    EXPECT_TRUE(grabber.Grab(6, {HotKey::Ctrl, 65}));                          // 5 on the number pad
    EXPECT_TRUE(grabber.Grab(7, {HotKey::Shift, 22}));                         // Delete
    ASSERT_TRUE(WaitFor([&] { return portal->lists == 2; }));
    EXPECT_EQ(portal->sessions.size(), 1) << "the same session";
    const QList<PortalShortcut>& last = portal->binds.last().shortcuts;
    ASSERT_EQ(last.size(), 3) << "a bind names what is not bound yet";
    const char* const expected[][3] = {
        {"5", "Alt+Meta+A", "ALT+LOGO+a"},
        {"6", "Ctrl+Num+5", "CTRL+KP_5"},
        {"7", "Shift+Del", "SHIFT+Delete"},
    };
    for (int i = 0; i < 3; ++i) {
        const PortalShortcut& shortcut = last[i];
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
