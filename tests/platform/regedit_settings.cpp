// SPDX-License-Identifier: GPL-3.0-or-later
// The program's settings, written and read by its own store, for the test
// that hands them to Wine's regedit (regedit_roundtrip.sh):
//   regedit_settings write <title> <FileName> <Fon>   saves a first start's settings with these texts
//   regedit_settings read <title>                     loads them and prints FileName and Fon, a line each
// The file is $XDG_CONFIG_HOME/Orvantis/<title>.reg, as for the program.
#include <iostream>
#include <string_view>

#include "core/settings.h"
#include "platform/systemsettingsstore.h"

int main(int argc, char** argv)
{
    using namespace chronivel;
    const std::string_view command = argc > 2 ? argv[1] : "";
    try {
        if (command == "write" && argc == 5) {
            const std::unique_ptr<SettingsStore> store = OpenSettingsStore(argv[2]);
            Settings settings;
            settings.fileName = argv[3];
            settings.pictureFile = argv[4];
            SaveSettings(*store, settings, "08.12.2026");
            store->Flush();
            return 0;
        }
        if (command == "read" && argc == 3) {
            const std::unique_ptr<SettingsStore> store = OpenSettingsStore(argv[2]);
            if (!store->OpenProblem().empty()) {
                std::cerr << store->OpenProblem() << '\n';
                return 1;
            }
            Settings settings;
            if (const LoadReport report = LoadSettings(*store, settings, LoadMoment{}); !report.unread.empty()) {
                std::cerr << report.Message(store->Location()) << '\n';
                return 1;
            }
            std::cout << settings.fileName << '\n' << settings.pictureFile << '\n';
            return 0;
        }
    } catch (const SettingsError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    std::cerr << "usage: regedit_settings write <title> <FileName> <Fon> | read <title>\n";
    return 2;
}
