// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qtscheduler.h"

#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace chronivel {
namespace {

TEST(QtScheduler, RunsEachTaskOnceUnlessCancelled)
{
    QtScheduler scheduler;
    int first = 0, cancelled = 0, last = 0;
    const Scheduler::Task one = scheduler.After(1, [&] { ++first; });
    const Scheduler::Task two = scheduler.After(1, [&] { ++cancelled; });
    scheduler.After(20, [&] { ++last; });
    scheduler.Cancel(two);
    ASSERT_TRUE(QTest::qWaitFor([&] { return last > 0; }, 5'000));
    scheduler.Cancel(one);  // ran already: nothing to do
    QTest::qWait(30);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(cancelled, 0);
    EXPECT_EQ(last, 1);
}

TEST(QtScheduler, TaskMaySetUpTheNext)
{
    QtScheduler scheduler;
    int runs = 0;
    std::function<void()> again = [&] {
        if (++runs < 3) scheduler.After(1, again);
    };
    scheduler.After(1, again);
    EXPECT_TRUE(QTest::qWaitFor([&] { return runs == 3; }, 5'000));
}

TEST(QtScheduler, PostFromAnotherThreadRunsOnTheSchedulersThread)
{
    QtScheduler scheduler;
    std::thread::id ranOn;
    std::thread device([&] { scheduler.Post([&] { ranOn = std::this_thread::get_id(); }); });
    device.join();
    EXPECT_EQ(ranOn, std::thread::id()) << "not before the event loop runs";
    EXPECT_TRUE(QTest::qWaitFor([&] { return ranOn != std::thread::id(); }, 5'000));
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

// A slow write aside: the event loop goes on meanwhile; writes keep their
// order; each one's end comes back to the scheduler's thread.
TEST(QtScheduler, WorkAsideRunsInOrderOffTheThreadAndEndsBackOnIt)
{
    QtScheduler scheduler;
    const std::thread::id main = std::this_thread::get_id();
    std::atomic<bool> release = false;
    std::vector<int> worked;  // only the aside thread touches it until the ends
    std::vector<int> ended;
    std::vector<std::thread::id> workedOn;
    for (int i = 0; i < 3; ++i)
        scheduler.Aside(
            [&, i] {
                while (i == 0 && !release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                worked.push_back(i);
                workedOn.push_back(std::this_thread::get_id());
            },
            [&, i] {
                EXPECT_EQ(std::this_thread::get_id(), main);
                ended.push_back(i);
            });
    int ticks = 0;
    scheduler.After(1, [&] { ++ticks; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks == 1; }, 5'000)) << "the loop runs while the work waits";
    EXPECT_TRUE(ended.empty());
    release = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return ended.size() == 3; }, 5'000));
    EXPECT_EQ(worked, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(ended, (std::vector<int>{0, 1, 2}));
    for (const std::thread::id id : workedOn) EXPECT_NE(id, main);
}

// At the end of the program: the work and what its ends give, all done
// before FinishAside returns, without the event loop, each end once.
TEST(QtScheduler, FinishAsideWaitsForWorkAndTheWorkItsEndsGive)
{
    QtScheduler scheduler;
    std::vector<std::string> done;
    scheduler.Aside([] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); },
                    [&] {
                        done.push_back("first");
                        scheduler.Aside([] {}, [&] { done.push_back("second"); });
                    });
    scheduler.FinishAside();
    EXPECT_EQ(done, (std::vector<std::string>{"first", "second"}));
    QTest::qWait(20);  // the queued calls find nothing left to end
    EXPECT_EQ(done.size(), 2u);
}

}  // namespace
}  // namespace chronivel
