#include "core/RunWithin.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <stdexcept>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Counts the caller's waits; spurious: every wait returns at once.
class TTestWaiter : public TWaiter {
public:
    explicit TTestWaiter(bool spurious = false) : spurious_(spurious) {}
    std::atomic<int> Waits = 0;
    void Wake() override {
        std::lock_guard lock(m_);
        woken_ = true;
        cv_.notify_all();
    }
    void WaitUntil(Clock::time_point deadline) override {
        ++Waits;
        std::unique_lock lock(m_);
        if (!spurious_)
            cv_.wait_until(lock, deadline, [this] { return woken_; });
    }

private:
    const bool spurious_;
    std::mutex m_;
    std::condition_variable cv_;
    bool woken_ = false;
};

TEST(RunWithin, WorkEndedInTimeWakesTheCallerThroughItsWaiterAndIsNotUndone) {
    auto waiter = std::make_shared<TTestWaiter>();
    bool undone = false;
    const Clock::time_point start = Clock::now();
    EXPECT_TRUE(RunWithin(
        10s, waiter, [] { std::this_thread::sleep_for(50ms); }, [&undone] { undone = true; }));
    EXPECT_LT(Clock::now() - start, 5s) << "the worker's end must wake the caller";
    EXPECT_GE(waiter->Waits, 1) << "the caller waits as its waiter does";
    EXPECT_FALSE(undone);
    EXPECT_THROW(RunWithin(10s, waiter, [] { throw std::runtime_error("no"); }),
                 std::runtime_error);
}

TEST(RunWithin, LateWorkIsLeftBehindAndUndoneOnItsOwnThreadOnceItEnds) {
    for (bool spurious : {false, true}) {
        SCOPED_TRACE(spurious ? "waiter returning early" : "waiter");
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        auto undoneOn = std::make_shared<std::promise<std::thread::id>>();
        const Clock::time_point start = Clock::now();
        EXPECT_FALSE(RunWithin(
            100ms, std::make_shared<TTestWaiter>(spurious), [released] { released.wait(); },
            [undoneOn] { undoneOn->set_value(std::this_thread::get_id()); }));
        EXPECT_GE(Clock::now() - start, 100ms);
        EXPECT_LT(Clock::now() - start, 5s);
        std::future<std::thread::id> undone = undoneOn->get_future();
        EXPECT_EQ(undone.wait_for(200ms), std::future_status::timeout)
            << "undone before the work ended";
        release.set_value();
        ASSERT_EQ(undone.wait_for(10s), std::future_status::ready);
        EXPECT_NE(undone.get(), std::this_thread::get_id());
    }
}

} // namespace
