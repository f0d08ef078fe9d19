#include "E2eSupport.h"

#include <fstream>
#include <sstream>
#include <thread>

std::wstring BinDir() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path);
    return p.substr(0, p.find_last_of(L'\\'));
}

namespace {

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring full = dir + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(dir.c_str());
}

} // namespace

TScratch::TScratch(const std::wstring& name) {
    std::wstring root = BinDir() + L"\\e2e-scratch";
    CreateDirectoryW(root.c_str(), nullptr);
    Folder = root + L"\\" + name;
    RemoveTree(Folder);
    CreateDirectoryW(Folder.c_str(), nullptr);
    CopyFileW((BinDir() + L"\\tomarin.exe").c_str(), Exe().c_str(), FALSE);
}

TProcess::TProcess(const std::wstring& exe, const std::wstring& args, bool suspended) {
    std::wstring cmd = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    std::wstring dir = exe.substr(0, exe.find_last_of(L'\\'));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE,
                        suspended ? CREATE_SUSPENDED : 0, nullptr, dir.c_str(), &si, &Info))
        Info = {};
}

TProcess::~TProcess() {
    Kill();
    if (Info.hProcess) {
        CloseHandle(Info.hProcess);
        CloseHandle(Info.hThread);
    }
}

TProcess::TProcess(TProcess&& other) noexcept : Info(other.Info) {
    other.Info = {};
}

TProcess& TProcess::operator=(TProcess&& other) noexcept {
    if (this != &other) {
        this->~TProcess();
        Info = other.Info;
        other.Info = {};
    }
    return *this;
}

void TProcess::Resume() {
    ResumeThread(Info.hThread);
}

DWORD TProcess::Wait(std::chrono::milliseconds timeout) {
    if (!Info.hProcess)
        return STILL_ACTIVE;
    WaitForSingleObject(Info.hProcess, static_cast<DWORD>(timeout.count()));
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(Info.hProcess, &code);
    return code;
}

bool TProcess::Running() const {
    return Info.hProcess && WaitForSingleObject(Info.hProcess, 0) == WAIT_TIMEOUT;
}

void TProcess::Kill() {
    if (Running()) {
        TerminateProcess(Info.hProcess, 99);
        WaitForSingleObject(Info.hProcess, 5000);
    }
}

namespace {

struct TEnumWindows {
    DWORD Pid;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM param) {
    auto* e = reinterpret_cast<TEnumWindows*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == e->Pid && IsWindowVisible(window))
        e->Found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> VisibleTopLevelWindows(DWORD pid) {
    TEnumWindows e{pid, {}};
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&e));
    return e.Found;
}

bool WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (predicate())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
}

std::wstring ClassNameOf(HWND window) {
    wchar_t cls[128] = {};
    GetClassNameW(window, cls, 128);
    return cls;
}

HWND FindMessageBox(DWORD pid) {
    for (HWND w : VisibleTopLevelWindows(pid)) {
        if (ClassNameOf(w) == L"#32770")
            return w;
    }
    return nullptr;
}

namespace {

// Draws into a memory bitmap the size of the screen area and reads its pixels back,
// row by row.
std::vector<COLORREF> DrawnPixels(int w, int h, const std::function<void(HDC)>& draw) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bmp);
    draw(dc);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// A system icon drawn here on a given background, for comparing with the screen
// (icon handles of another process cannot be read under Wine).
std::vector<COLORREF> IconPixels(LPCWSTR id, int w, int h, COLORREF background) {
    return DrawnPixels(w, h, [&](HDC dc) {
        HBRUSH brush = CreateSolidBrush(background);
        RECT r{0, 0, w, h};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        DrawIconEx(dc, 0, 0, LoadIconW(nullptr, id), 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
    });
}

BOOL CALLBACK CollectParts(HWND child, LPARAM param) {
    auto* content = reinterpret_cast<TMessageBoxContent*>(param);
    std::wstring cls = ClassNameOf(child);
    wchar_t text[2048] = {};
    GetWindowTextW(child, text, 2048);
    if (cls == L"Button") {
        content->Buttons.push_back(text);
    } else if (cls == L"Static") {
        LONG style = GetWindowLongW(child, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON) {
            RECT r;
            GetWindowRect(child, &r);
            auto seen = ScreenPixels(r);
            if (!seen.empty()) {
                const std::pair<LPCWSTR, const wchar_t*> known[] = {
                    {IDI_WARNING, L"warning"},
                    {IDI_ERROR, L"error"},
                    {IDI_INFORMATION, L"information"},
                    {IDI_QUESTION, L"question"}};
                for (const auto& [id, name] : known) {
                    if (IconPixels(id, r.right - r.left, r.bottom - r.top, seen[0]) == seen) {
                        content->Icon = name;
                        break;
                    }
                }
            }
        } else if (text[0]) {
            content->Text = text;
        }
    }
    return TRUE;
}

} // namespace

TMessageBoxContent ReadMessageBox(HWND box) {
    TMessageBoxContent content;
    wchar_t caption[512] = {};
    GetWindowTextW(box, caption, 512);
    content.Caption = caption;
    EnumChildWindows(box, CollectParts, reinterpret_cast<LPARAM>(&content));
    return content;
}

void PressOk(HWND box) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

bool HasNoTaskbarButton(HWND window) {
    return GetWindow(window, GW_OWNER) != nullptr ||
           (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
}

HWND WaitForCharacterWindow(const TProcess& p, std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND w : VisibleTopLevelWindows(p.Pid())) {
                if (ClassNameOf(w) == L"TForm")
                    found = w;
            }
            return found != nullptr;
        },
        timeout);
    return found;
}

RECT WindowRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void SendButton(DWORD flag) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof input);
}

std::vector<COLORREF> ScreenPixels(const RECT& r) {
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    return DrawnPixels(w, h, [&](HDC dc) {
        HDC screen = GetDC(nullptr);
        BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    });
}

namespace {

// Parks the cursor away first, so that the window under the point sees it arrive,
// then presses and releases the button once it has got there.
bool ClickAt(POINT screen, DWORD down, DWORD up) {
    SetCursorPos(screen.x > 5 ? 0 : 50, screen.y > 5 ? 0 : 50);
    Sleep(50);
    SetCursorPos(screen.x, screen.y);
    Sleep(50);
    POINT at{};
    GetCursorPos(&at);
    if (at.x != screen.x || at.y != screen.y)
        return false;
    SendButton(down);
    Sleep(30);
    SendButton(up);
    return true;
}

} // namespace

bool LeftClickAt(POINT screen) {
    return ClickAt(screen, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}

bool RightClickAt(POINT screen) {
    return ClickAt(screen, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
}

void PressKey(WORD key) {
    INPUT input[2]{};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = key;
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
    Sleep(30);
}

POINT CentreOf(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT CentreOf(HWND window) {
    return CentreOf(WindowRectOf(window));
}

HWND OpenMenuOf(DWORD pid) {
    for (HWND w : VisibleTopLevelWindows(pid)) {
        if (ClassNameOf(w) == L"#32768")
            return w;
    }
    return nullptr;
}

int AlphaOf(HWND window) {
    if (!(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED))
        return -1;
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    if (!GetLayeredWindowAttributes(window, &key, &alpha, &flags) || !(flags & LWA_ALPHA))
        return 255;
    return alpha;
}

std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TTargetWindow::TTargetWindow(int left, int top, int width, int height, const std::wstring& options)
    : Process(BinDir() + L"\\e2e_target.exe",
              L"--rect " + std::to_wstring(left) + L" " + std::to_wstring(top) + L" " +
                  std::to_wstring(width) + L" " + std::to_wstring(height) +
                  (options.empty() ? L"" : L" " + options)) {
    WaitFor([&] {
        auto windows = VisibleTopLevelWindows(Process.Pid());
        Window = windows.empty() ? nullptr : windows[0];
        return Window != nullptr;
    });
}

void TTargetWindow::SetRect(int left, int top, int width, int height) {
    SetWindowPos(Window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TTargetWindow::Activate() {
    // Asked again while it is not there: a program that is still starting may take
    // the foreground after the first request.
    return WaitFor(
        [&] {
            if (GetForegroundWindow() == Window)
                return true;
            SetForegroundWindow(Window);
            return false;
        },
        2s);
}
