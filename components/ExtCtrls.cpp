#include "components/ExtCtrls.h"

#include "components/Dispatch.h"

namespace {

const wchar_t TimerWindowClass[] = L"TTimerWindow";
const UINT_PTR TimerId = 1;

} // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    if (!GetClassInfoW(instance, TimerWindowClass, &wc)) {
        wc.lpfnWndProc = StaticWndProc;
        wc.hInstance = instance;
        wc.lpszClassName = TimerWindowClass;
        RegisterClassW(&wc);
    }
    Window.Reset(CreateWindowExW(0, TimerWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 instance, nullptr));
    SetWindowLongPtrW(Window.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    UpdateTimer();
}

TTimer::~TTimer() {
    if (Window) {
        KillTimer(Window.Get(), TimerId);
        SetWindowLongPtrW(Window.Get(), GWLP_USERDATA, 0);
    }
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == IsEnabled)
        return;
    IsEnabled = enabled;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned milliseconds) {
    if (milliseconds == IntervalMs)
        return;
    IntervalMs = milliseconds;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    KillTimer(Window.Get(), TimerId);
    if (IsEnabled && IntervalMs > 0)
        SetTimer(Window.Get(), TimerId, IntervalMs, nullptr);
}

void TTimer::Tick() {
    // A handler that shows a message box pumps messages; its own timer must not
    // run it again underneath, or the boxes would pile up.
    if (InTick || !IsEnabled)
        return;
    InTick = true;
    Dispatch([this] {
        if (OnTimer)
            OnTimer(this);
    });
    InTick = false;
}

LRESULT CALLBACK TTimer::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        auto* self = reinterpret_cast<TTimer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self)
            self->Tick();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
