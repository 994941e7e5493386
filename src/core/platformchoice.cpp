// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platformchoice.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

namespace chronivel {

namespace {

constexpr std::string_view PlatformOption = "-platform";

std::string Lowered(std::string_view text)
{
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered;
}

// An option as Qt reads it: --name is -name.
std::string_view SingleDashed(std::string_view argument)
{
    return argument.starts_with("--") ? argument.substr(1) : argument;
}

// The value of -platform=name, or nothing for any other argument.
std::optional<std::string> JoinedPlatform(std::string_view argument)
{
    const std::string_view option = SingleDashed(argument);
    if (!option.starts_with(PlatformOption) || option.size() == PlatformOption.size() ||
        option[PlatformOption.size()] != '=')
        return std::nullopt;
    return std::string(option.substr(PlatformOption.size() + 1));
}

bool WaylandSession(const WindowSystemEnvironment& environment)
{
    return !environment.waylandDisplay.empty() || environment.sessionType == "wayland";
}

bool Installed(const std::string& platform, const std::vector<std::string>& installedPlugins)
{
    // Qt finds its plugins by key regardless of case.
    return std::any_of(installedPlugins.begin(), installedPlugins.end(),
                       [&](const std::string& plugin) { return Lowered(plugin) == platform; });
}

}  // namespace

ChosenPlatform UsersPlatform(const std::vector<std::string>& arguments, const std::string& environmentPlatform)
{
    ChosenPlatform chosen;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (std::optional<std::string> joined = JoinedPlatform(arguments[i]))
            chosen = {std::move(*joined), true};
        else if (SingleDashed(arguments[i]) == PlatformOption && i + 1 < arguments.size())
            chosen = {arguments[++i], true};
    }
    if (!chosen.onCommandLine) chosen.name = environmentPlatform;
    return chosen;
}

bool XWaylandWanted(const std::vector<std::string>& arguments, const WindowSystemEnvironment& environment)
{
    return UsersPlatform(arguments, environment.platform).name.empty() && WaylandSession(environment) &&
           !environment.display.empty();
}

std::vector<std::string> PlatformArguments(const std::vector<std::string>& arguments,
                                           const WindowSystemEnvironment& environment)
{
    std::vector<std::string> handed;
    for (const std::string& argument : arguments) {
        if (std::optional<std::string> joined = JoinedPlatform(argument)) {
            handed.emplace_back(PlatformOption);
            handed.push_back(std::move(*joined));
        } else {
            handed.push_back(argument);
        }
    }
    if (!handed.empty() && XWaylandWanted(arguments, environment) && Installed("xcb", environment.installedPlugins))
        handed.insert(handed.begin() + 1, {std::string(PlatformOption), "xcb"});
    return handed;
}

std::vector<std::string> MissingPlugins(const std::string& chosen, const std::vector<std::string>& installedPlugins)
{
    // As Qt reads the list: "name:option:option;name…", names in any case.
    std::vector<std::string> missing;
    std::size_t start = 0;
    while (start <= chosen.size()) {
        const std::size_t end = std::min(chosen.find(';', start), chosen.size());
        const std::string_view entry = std::string_view(chosen).substr(start, end - start);
        const std::string name = Lowered(entry.substr(0, entry.find(':')));
        if (!name.empty() && !Installed(name, installedPlugins)) missing.push_back(name);
        start = end + 1;
    }
    return missing;
}

std::string PluginPackage(std::string_view platform)
{
    const std::string name = Lowered(platform);
    if (name.starts_with("wayland")) return "qt6-wayland";
    static constexpr std::pair<std::string_view, std::string_view> packages[] = {
        {"xcb", "libqt6gui6"},        {"offscreen", "libqt6gui6"},  {"minimal", "libqt6gui6"},
        {"linuxfb", "libqt6gui6"},    {"vkkhrdisplay", "libqt6gui6"}, {"eglfs", "libqt6opengl6"},
        {"minimalegl", "libqt6opengl6"}, {"vnc", "qt6-qpa-plugins"},
    };
    for (const auto& [plugin, package] : packages)
        if (plugin == name) return std::string(package);
    return {};
}

}  // namespace chronivel
