// SPDX-License-Identifier: GPL-3.0-or-later
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

// Removes what saves of those settings cut short by a kill left beside the
// file: a temporary file each, as large as the settings. Only for the copy
// that holds the instance lock of `title`, since another copy's save in
// progress would lose its file. The registry leaves nothing behind.
void RemoveSettingsLeftovers(std::string_view title);

}  // namespace chronivel
