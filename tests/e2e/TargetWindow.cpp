// A window of another process for the end-to-end tests: an ordinary captioned,
// framed top-level window like the ones a user works in, placed where the command
// line says, and made the foreground window when it appears. The driver moves and
// sizes it from outside (SetWindowPos) and activates it (SetForegroundWindow).
//
//   e2e_target.exe --rect LEFT TOP WIDTH HEIGHT [--layered ALPHA] [--title TEXT]
//
// --layered makes it a layered window with that alpha, as another program that uses
// translucency would be.
//
// A posted WM_APP with wParam N makes it stop handling messages for N milliseconds,
// as a program that has stopped responding does.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

struct TOptions {
    RECT Rect{100, 100, 500, 400};
    bool Layered = false;
    int Alpha = 255;
    std::wstring Title = L"e2e target";
};

int ToInt(const wchar_t* text) {
    return static_cast<int>(std::wcstol(text, nullptr, 10));
}

TOptions ParseOptions() {
    TOptions o;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; argv && i < argc; ++i) {
        std::wstring a = argv[i];
        if (a == L"--rect" && i + 4 < argc) {
            int left = ToInt(argv[i + 1]);
            int top = ToInt(argv[i + 2]);
            o.Rect = RECT{left, top, left + ToInt(argv[i + 3]), top + ToInt(argv[i + 4])};
            i += 4;
        } else if (a == L"--layered" && i + 1 < argc) {
            o.Layered = true;
            o.Alpha = ToInt(argv[++i]);
        } else if (a == L"--title" && i + 1 < argc) {
            o.Title = argv[++i];
        }
    }
    LocalFree(argv);
    return o;
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        Sleep(static_cast<DWORD>(wParam));
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    TOptions o = ParseOptions();
    WNDCLASSW wc{};
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"TomarinE2eTarget";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    HWND window =
        CreateWindowExW(o.Layered ? WS_EX_LAYERED : 0, wc.lpszClassName, o.Title.c_str(),
                        WS_OVERLAPPEDWINDOW, o.Rect.left, o.Rect.top, o.Rect.right - o.Rect.left,
                        o.Rect.bottom - o.Rect.top, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    if (o.Layered)
        SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(o.Alpha), LWA_ALPHA);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
