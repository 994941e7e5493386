#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/settingsstore.h"

namespace chronivel {

// The settings of the program called `title`: on Windows the registry key
// HKEY_CURRENT_USER\Software\Orvantis\<title>, elsewhere the file
// $XDG_CONFIG_HOME/Orvantis/<title>.reg in the registry's export format.
std::unique_ptr<SettingsStore> OpenSettingsStore(std::string_view title);

// Where those settings live, for messages: the file's path or the key's name.
std::string SettingsLocation(std::string_view title);

}  // namespace chronivel
