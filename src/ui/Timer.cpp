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

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Timers().find(id);
    if (it == Timers().end() || !it->second->OnTimer)
        return;
    try {
        it->second->OnTimer(it->second);
    } catch (const std::exception& e) {
        if (Application)
            Application->HandleException(e);
    }
}
