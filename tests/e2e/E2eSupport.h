// Driving tomarin.exe from outside, as a user would: scratch folders, processes,
// their windows, message boxes.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

using namespace std::chrono_literals;

// The folder that holds the test programs and tomarin.exe.
std::wstring BinDir();

// A fresh folder under the build tree with a copy of tomarin.exe in it.
class TScratch {
public:
    explicit TScratch(const std::wstring& name);
    const std::wstring& Dir() const { return Folder; }
    std::wstring Exe() const { return Folder + L"\\tomarin.exe"; }
    std::wstring Ini() const { return Folder + L"\\tomarin.ini"; }

private:
    std::wstring Folder;
};

// A process we started; killed at destruction if it still runs.
class TProcess {
public:
    TProcess() = default;
    TProcess(const std::wstring& exe, const std::wstring& args = L"", bool suspended = false);
    ~TProcess();
    TProcess(TProcess&& other) noexcept;
    TProcess& operator=(TProcess&& other) noexcept;
    TProcess(const TProcess&) = delete;
    TProcess& operator=(const TProcess&) = delete;

    bool Started() const { return Info.hProcess != nullptr; }
    DWORD Pid() const { return Info.dwProcessId; }
    void Resume();
    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD Wait(std::chrono::milliseconds timeout);
    bool Running() const;
    void Kill();

private:
    PROCESS_INFORMATION Info{};
};

std::vector<HWND> VisibleTopLevelWindows(DWORD pid);
// Polls until the predicate holds or the time is up.
bool WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout = 5s);
// The visible message box (#32770) of a process, or null.
HWND FindMessageBox(DWORD pid);

struct TMessageBoxContent {
    std::wstring Caption;
    std::wstring Text;
    std::vector<std::wstring> Buttons;
    // Which system icon it shows, by comparing pixels with the system's own icons:
    // L"warning", L"error", L"information", L"question" or L"" when none matched.
    std::wstring Icon;
};
TMessageBoxContent ReadMessageBox(HWND box);
void PressOk(HWND box);

// True when a top-level window gets no taskbar button: it is owned, or a tool window.
bool HasNoTaskbarButton(HWND window);
std::wstring ClassNameOf(HWND window);

// The character window of a running copy: its one visible window of the form class,
// or null when none appeared in time.
HWND WaitForCharacterWindow(const TProcess& p, std::chrono::milliseconds timeout = 10s);
RECT WindowRectOf(HWND window);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

// One mouse button event (MOUSEEVENTF_LEFTDOWN...) where the cursor is, e.g. to hold
// the button during a drag.
void SendButton(DWORD flag);
// A left click as a user makes it: the cursor is parked elsewhere first, so that the
// window under the point sees it arrive, then moved there; the button is pressed and
// released once it has arrived. False when the cursor did not get there.
bool LeftClickAt(POINT screen);
// The same with the right button, which opens a popup menu.
bool RightClickAt(POINT screen);
// One key pressed and released, with a short pause for the receiver.
void PressKey(WORD key);
POINT CentreOf(const RECT& r);
POINT CentreOf(HWND window);
// The open popup menu (#32768) of a process, or null.
HWND OpenMenuOf(DWORD pid);
// The alpha a window is drawn with: -1 when it is not layered, 255 when layered
// without an alpha.
int AlphaOf(HWND window);
// The whole content of a file, or empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
// The pixels of a screen area as the user sees it now, row by row.
std::vector<COLORREF> ScreenPixels(const RECT& r);

// An ordinary captioned window of another process (e2e_target.exe) for the character
// to perch on.
class TTargetWindow {
public:
    // Starts it at (left, top) with that outer size and waits for its window; options
    // are further command-line options (--layered ALPHA, --title TEXT).
    TTargetWindow(int left, int top, int width, int height, const std::wstring& options = L"");
    HWND Handle() const { return Window; }
    RECT Rect() const { return WindowRectOf(Window); }
    // Moves and sizes it from outside without activating it.
    void SetRect(int left, int top, int width, int height);
    // Brings it to the foreground; true once it is there.
    bool Activate();

private:
    TProcess Process;
    HWND Window = nullptr;
};
