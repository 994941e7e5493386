// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/commandactions.h"

#include <QAction>
#include <QKeySequence>

#include <gtest/gtest.h>

#include <map>

#include "tests/ui/mainwindow_fixture.h"

namespace chronivel {
namespace {

// A key written in the table as Qt does not read it would silently act for nothing.
TEST(CommandKeys, EveryKeyIsOneQtKnowsAndActsForOneCommandOnly)
{
    for (const bool background : {false, true}) {
        std::map<QKeySequence, const char*> owners;
        for (const CommandRow& row : CommandTable()) {
            const char* keys = background && row.backgroundKeys ? row.backgroundKeys : row.keys;
            if (!*keys) continue;
            for (const QKeySequence& key : QKeySequence::listFromString(QString::fromLatin1(keys))) {
                ASSERT_EQ(key.count(), 1) << row.name << ": " << keys;
                EXPECT_NE(key[0].key(), Qt::Key_unknown) << row.name << ": " << keys;
                const auto [owner, first] = owners.emplace(key, row.name);
                EXPECT_TRUE(first) << key.toString().toStdString() << " for " << owner->second << " and " << row.name;
            }
        }
    }
}

class CommandActionsTest : public testing::MainWindowFixture {
protected:
    void Press(QKeyCombination key) { QTest::keyClick(window.get(), key.key(), key.keyboardModifiers()); }
};

TEST_F(CommandActionsTest, EveryKeyOfTheBestTimeClearsItShownOrNot)
{
    Start();
    const Chronometer& clock = window->Clock();
    for (const QKeyCombination key : {QKeyCombination(Qt::CTRL | Qt::Key_0), QKeyCombination(Qt::CTRL | Qt::Key_Insert),
                                      QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_0)}) {
        Press(Qt::Key_Return);
        platform.Advance(1'000);
        Press(Qt::Key_Return);
        Press(Qt::Key_Return);
        ASSERT_NE(clock.Best().Value(), BestTime::None);
        Entry("BestShow1")->trigger();
        EXPECT_FALSE(Entry("BestReset1")->isEnabled());
        Press(key);
        EXPECT_EQ(clock.Best().Value(), BestTime::None) << QKeySequence(key).toString().toStdString();
        Entry("BestShow1")->trigger();
    }
}

TEST_F(CommandActionsTest, F8TakesALapAndTheEditorKeepsF3)
{
    Start();
    Press(Qt::Key_Return);
    platform.Advance(1'000);
    Press(Qt::Key_F8);
    EXPECT_EQ(window->Clock().Lines().Lines().size(), 2u) << "the run's start and one lap";

    window->Commands().YieldKeysToEditor(true);
    EXPECT_TRUE(Entry("About1")->shortcuts().isEmpty());
    EXPECT_TRUE(Entry("About1")->isEnabled()) << "the context menu's entry stays";
    window->Commands().YieldKeysToEditor(false);
    EXPECT_EQ(Entry("About1")->shortcut(), QKeySequence(Qt::Key_F3));
}

}  // namespace
}  // namespace chronivel
