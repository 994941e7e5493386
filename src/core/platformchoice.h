// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace chronivel {

// What decides the window system the program runs on, as the environment has it.
struct WindowSystemEnvironment {
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string sessionType;     // XDG_SESSION_TYPE
    std::string display;         // DISPLAY: the X server, XWayland in a Wayland session
    std::string platform;        // QT_QPA_PLATFORM: the user's choice of Qt's platform plugin
    std::vector<std::string> installedPlugins;  // the platform plugins Qt can find
};

// The platform the user chose: the last -platform on the command line
// (`arguments`, the program's name first; also --platform and -platform=name),
// else QT_QPA_PLATFORM. Empty when nobody chose.
struct ChosenPlatform {
    std::string name;  // may list several, separated by ';', tried in turn
    bool onCommandLine = false;
};
ChosenPlatform UsersPlatform(const std::vector<std::string>& arguments, const std::string& environmentPlatform);

// Nobody chose a platform, in a Wayland session with XWayland there (DISPLAY
// set): the program runs on XWayland where Qt's xcb plugin is installed, as
// only there can the window be round, stay on top and go back to its place.
// Only then does PlatformArguments look at the installed plugins.
bool XWaylandWanted(const std::vector<std::string>& arguments, const WindowSystemEnvironment& environment);

// The arguments to hand Qt: `-platform xcb` added where XWaylandWanted and
// the plugin is there; on the command line rather than in the environment,
// which the browser and the editor the program starts would inherit.
// -platform=name, which Qt does not read, is handed on as two arguments.
std::vector<std::string> PlatformArguments(const std::vector<std::string>& arguments,
                                           const WindowSystemEnvironment& environment);

// Of the platforms `chosen` names, those no installed plugin provides.
std::vector<std::string> MissingPlugins(const std::string& chosen, const std::vector<std::string>& installedPlugins);

// The Debian package that brings a platform plugin; empty for one not known.
std::string PluginPackage(std::string_view platform);

}  // namespace chronivel
