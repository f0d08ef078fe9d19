// The least a program can do to follow the foreground window ten times a second: a
// timer on a message-only window whose tick asks for the foreground window and its
// outer rectangle, and nothing else. The anchor of the idle-tracking benchmark
// (tools/bench-tracking.sh), which runs it beside tomarin.exe.
//
// With --window it also shows a small window of its own that never changes, so that
// it pays what any program with a window on the screen pays while it waits for
// messages (under Wine: checking the X connection at every wake-up).
#include <windows.h>

#include <cstring>

namespace {

RECT Seen;

LRESULT CALLBACK PollProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        HWND foreground = GetForegroundWindow();
        GetWindowRect(foreground, &Seen);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PollProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"TomarinBarePoller";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  instance, nullptr);
    if (std::strstr(GetCommandLineA(), "--window")) {
        // Shown without taking the foreground from the window being tracked.
        HWND shown = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 8, 8,
                                     nullptr, nullptr, instance, nullptr);
        ShowWindow(shown, SW_SHOWNOACTIVATE);
    }
    SetTimer(window, 1, 100, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
