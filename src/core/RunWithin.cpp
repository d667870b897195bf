#include "core/RunWithin.h"

#include <exception>
#include <mutex>
#include <thread>

bool RunWithin(std::chrono::milliseconds limit, const std::shared_ptr<TWaiter>& waiter,
               std::function<void()> work, std::function<void()> leftBehind) {
    using Clock = std::chrono::steady_clock;
    struct TState {
        std::mutex m;
        bool ended = false;
        bool abandoned = false;
        std::exception_ptr failure;
    };
    auto state = std::make_shared<TState>();
    const Clock::time_point deadline = Clock::now() + limit;
    std::thread([state, waiter, work = std::move(work), leftBehind = std::move(leftBehind)] {
        std::exception_ptr failure;
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        bool abandoned = false;
        {
            std::lock_guard lock(state->m);
            state->failure = failure;
            state->ended = true;
            abandoned = state->abandoned;
        }
        if (!abandoned) {
            waiter->Wake();
            return;
        }
        try {
            if (leftBehind)
                leftBehind();
        } catch (...) {
            // No one is left to tell.
        }
    }).detach();
    for (;;) {
        {
            std::lock_guard lock(state->m);
            if (state->ended) {
                if (state->failure)
                    std::rethrow_exception(state->failure);
                return true;
            }
            if (Clock::now() >= deadline) {
                state->abandoned = true;
                return false;
            }
        }
        waiter->WaitUntil(deadline);
    }
}
