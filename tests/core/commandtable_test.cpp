// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/command.h"
#include "core/keyguide.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace chronivel {
namespace {

TEST(CommandTable, EveryCommandHasOneRowAndEveryEntryItsOwnName)
{
    std::set<Command> commands;
    std::set<std::string> names;
    std::set<Command> hotKeyed;
    for (const HotKeyRow& hotKey : HotKeyTable()) hotKeyed.insert(hotKey.command);
    for (const CommandRow& row : CommandTable()) {
        EXPECT_TRUE(commands.insert(row.id).second) << row.name << " is a second row of its command";
        EXPECT_TRUE(names.insert(row.name).second) << row.name << " names two entries";
        EXPECT_EQ(&RowOf(row.id), &row);
        // A menu entry without keys of its own shows its twin's; a key-only one needs keys or a hot key.
        if (row.place == MenuPlace::None && !hotKeyed.contains(row.id)) {
            EXPECT_STRNE(row.keys, "") << row.name << " cannot be reached";
        }
        EXPECT_FALSE(*row.shownKey && *row.keys) << row.name << " shows a key besides its own";
    }
    const int last = static_cast<int>(Command::Arrangement0) + static_cast<int>(ArrangementRows.size()) - 1;
    EXPECT_EQ(commands.size(), static_cast<std::size_t>(last + 1)) << "a command without a row";
}

TEST(KeyGuide, ShowsEachKeyOnceAsTheKeyboardNamesIt)
{
    const struct {
        const char* keys;
        const char* backgroundKeys;
        bool background;
        const char* shown;
    } cases[] = {{"Return; Enter; F5", nullptr, false, "Enter, F5"},
                 {"Ctrl+0; Ctrl+Ins; Ctrl+Num+0", nullptr, false, "Ctrl+0, Ctrl+Ins"},
                 {"Space; F8", "Alt+Space; F8", true, "Alt+Space"},
                 {"Space; F8", "Alt+Space; F8", false, "Space, F8"},
                 {"F9", nullptr, true, ""}};
    for (const auto& c : cases) {
        CommandRow row{Command::Lap, "row", MenuPlace::None, "row", c.keys, c.backgroundKeys};
        EXPECT_EQ(ShownKeys(row, c.background), c.shown) << c.keys;
    }
}

}  // namespace
}  // namespace chronivel
