// The timer component.
#pragma once

#include "components/Classes.h"
#include "components/Handles.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return IsEnabled; }
    // Enabling an enabled timer does nothing: it is not restarted.
    void SetEnabled(bool enabled);
    unsigned Interval() const { return IntervalMs; }
    void SetInterval(unsigned milliseconds);

    TNotifyEvent OnTimer;

private:
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void UpdateTimer();
    void Tick();

    TWindowHandle Window; // message-only window that receives WM_TIMER
    bool IsEnabled = true;
    unsigned IntervalMs = 1000;
    bool InTick = false;
};
