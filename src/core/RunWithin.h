// Work on a thread of its own that its caller waits for no longer than a time
// limit: the network libraries can ignore their own time-outs (under Wine a
// TLS handshake that the server never answered held its caller for minutes).
#pragma once
#include <chrono>
#include <functional>
#include <memory>

// How a caller waits for its worker. Wake comes from the worker's thread, and
// may come before WaitUntil, which must then return at once; the worker keeps
// the object alive for as long as it needs it.
class TWaiter {
public:
    virtual ~TWaiter() = default;
    virtual void Wake() = 0;
    // Returns once woken or at the deadline, or earlier: the caller looks again.
    virtual void WaitUntil(std::chrono::steady_clock::time_point deadline) = 0;
};

// Runs work on a thread of its own and waits through waiter for at most
// limit: true when the work ended by then (its failure passes to the caller).
// Otherwise the caller goes on without it and the work is left to end by
// itself, so it must own (by shared pointers) everything it touches; then
// leftBehind runs on its thread, to undo what it did for a caller that no
// longer waits. The two sides agree on which of them happened.
bool RunWithin(std::chrono::milliseconds limit, const std::shared_ptr<TWaiter>& waiter,
               std::function<void()> work, std::function<void()> leftBehind = {});
