#include "ui/qtscheduler.h"

#include <QTest>

#include <gtest/gtest.h>

#include <thread>

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

}  // namespace
}  // namespace chronivel
