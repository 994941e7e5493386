// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platformchoice.h"

#include <gtest/gtest.h>

namespace chronivel {
namespace {

using Arguments = std::vector<std::string>;
const std::vector<std::string> AllPlugins{"xcb", "wayland", "wayland-egl", "offscreen"};

// XWayland wherever a Wayland session has it and nobody chose; the user's
// choice, wherever it was made, stands; -platform=name is spelt as Qt reads it.
TEST(PlatformChoice, HandsQtXcbOnlyWhereXWaylandIsThereAndNobodyChose)
{
    struct Case {
        const char* what;
        Arguments arguments;
        WindowSystemEnvironment environment;
        Arguments handed;
    };
    const std::vector<Case> cases{
        {"Wayland with XWayland", {"chronivel", "/D7"}, {"wayland-0", "", ":1", "", AllPlugins},
         {"chronivel", "-platform", "xcb", "/D7"}},
        {"the session type alone says Wayland", {"chronivel"}, {"", "wayland", ":1", "", AllPlugins},
         {"chronivel", "-platform", "xcb"}},
        {"Wayland without XWayland", {"chronivel"}, {"wayland-0", "wayland", "", "", AllPlugins}, {"chronivel"}},
        {"an X11 session", {"chronivel"}, {"", "x11", ":0", "", AllPlugins}, {"chronivel"}},
        {"QT_QPA_PLATFORM chosen", {"chronivel"}, {"wayland-0", "", ":1", "wayland", AllPlugins}, {"chronivel"}},
        {"-platform chosen", {"chronivel", "-platform", "wayland"}, {"wayland-0", "", ":1", "", AllPlugins},
         {"chronivel", "-platform", "wayland"}},
        {"--platform=name chosen", {"chronivel", "--platform=wayland", "/R0"}, {"wayland-0", "", ":1", "", AllPlugins},
         {"chronivel", "-platform", "wayland", "/R0"}},
        {"no xcb plugin", {"chronivel"}, {"wayland-0", "", ":1", "", {"wayland"}}, {"chronivel"}},
        {"-platform without a name", {"chronivel", "-platform"}, {"wayland-0", "", ":1", "", AllPlugins},
         {"chronivel", "-platform", "xcb", "-platform"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlatformArguments(c.arguments, c.environment), c.handed) << c.what;
        if (XWaylandWanted(c.arguments, c.environment)) continue;
        // Elsewhere the plugins are not listed: the arguments do not need them.
        WindowSystemEnvironment unlisted = c.environment;
        unlisted.installedPlugins.clear();
        EXPECT_EQ(PlatformArguments(c.arguments, unlisted), c.handed) << c.what;
    }
}

TEST(PlatformChoice, TheCommandLineWinsOverTheEnvironmentAndTheLastOptionOverEarlierOnes)
{
    struct Case {
        Arguments arguments;
        std::string environment;
        std::string name;
        bool onCommandLine;
    };
    const std::vector<Case> cases{
        {{"chronivel"}, "wayland", "wayland", false},
        {{"chronivel", "-platform", "xcb"}, "wayland", "xcb", true},
        {{"chronivel", "-platform=xcb", "--platform", "offscreen"}, "", "offscreen", true},
        {{"chronivel", "-platformtheme", "kde"}, "", "", false},
        {{"chronivel", "-platform"}, "xcb", "xcb", false},
    };
    for (const Case& c : cases) {
        const ChosenPlatform chosen = UsersPlatform(c.arguments, c.environment);
        EXPECT_EQ(chosen.name, c.name) << c.arguments.back();
        EXPECT_EQ(chosen.onCommandLine, c.onCommandLine) << c.arguments.back();
    }
}

TEST(PlatformChoice, NamesTheMissingPluginsAndThePackagesThatBringThem)
{
    const std::vector<std::string> withoutWayland{"xcb", "offscreen"};
    EXPECT_EQ(MissingPlugins("wayland", withoutWayland), Arguments{"wayland"});
    EXPECT_EQ(MissingPlugins("Wayland-EGL:opt;xcb;", withoutWayland), Arguments{"wayland-egl"});
    EXPECT_EQ(MissingPlugins("XCB", withoutWayland), Arguments{});
    EXPECT_EQ(MissingPlugins("", withoutWayland), Arguments{});

    const std::pair<const char*, const char*> packages[] = {
        {"wayland", "qt6-wayland"}, {"wayland-egl", "qt6-wayland"}, {"xcb", "libqt6gui6"},
        {"eglfs", "libqt6opengl6"}, {"nosuch", ""},
    };
    for (const auto& [platform, package] : packages) EXPECT_EQ(PluginPackage(platform), package) << platform;
}

}  // namespace
}  // namespace chronivel
