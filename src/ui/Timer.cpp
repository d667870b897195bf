#include "ui/Timer.h"

#include "ui/Application.h"

#include <map>

namespace {
// Thread timers carry no pointer of ours: the id leads back to the object.
std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}
} // namespace

TTimer::~TTimer() {
    enabled_ = false;
    Update();
}

void TTimer::SetInterval(unsigned ms) {
    interval_ = ms;
    Update();
}

void TTimer::SetEnabled(bool v) {
    enabled_ = v;
    Update();
}

void TTimer::Update() {
    if (id_) {
        KillTimer(nullptr, id_);
        Timers().erase(id_);
        id_ = 0;
    }
    if (enabled_ && interval_) {
        id_ = SetTimer(nullptr, 0, interval_, &TTimer::TimerProc);
        if (id_)
            Timers()[id_] = this;
    }
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) noexcept {
    auto it = Timers().find(id);
    if (it == Timers().end() || !it->second->OnTimer)
        return;
    try {
        it->second->OnTimer(it->second);
    } catch (...) {
        // Shown by the loop once this tick has returned, as for a window
        // procedure; the timer stops, or the box's own loop would run the
        // failing handler again every period, each time with another box.
        // The handler may have destroyed the timer: look it up again.
        if (auto again = Timers().find(id); again != Timers().end())
            again->second->SetEnabled(false);
        if (Application)
            Application->QueueException(std::current_exception());
    }
}
