// A periodic event on the thread's message loop.
#pragma once
#include "ui/Controls.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner) : TComponent(owner) {}
    ~TTimer() override;
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    // A handler that fails stops the timer; its failure is shown once.
    TNotifyEvent OnTimer;

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) noexcept;
    void Update();
    unsigned interval_ = 1000;
    bool enabled_ = false;
    UINT_PTR id_ = 0;
};
