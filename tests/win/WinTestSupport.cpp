#include "WinTestSupport.h"

#include "forms/Settings.h"

#include <fstream>
#include <sstream>

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void RemoveFile(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

std::string Bmp24(int width, int height, const std::function<COLORREF(int x, int y)>& pixel) {
    int stride = (width * 3 + 3) & ~3;
    std::string bytes(54 + stride * height, '\0');
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    bytes[26] = 1;
    bytes[28] = 24;
    for (int y = 0; y < height; ++y) {
        char* row = bytes.data() + 54 + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            COLORREF c = pixel(x, y);
            row[x * 3] = static_cast<char>(GetBValue(c));
            row[x * 3 + 1] = static_cast<char>(GetGValue(c));
            row[x * 3 + 2] = static_cast<char>(GetRValue(c));
        }
    }
    return bytes;
}

TSettingsFileGuard::TSettingsFileGuard() : FilePath(SettingsFileName()) {
    // Forget anything the profile functions cached of an earlier file.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, FilePath.c_str());
    RemoveFile(FilePath);
}

TSettingsFileGuard::~TSettingsFileGuard() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, FilePath.c_str());
    RemoveFile(FilePath);
}

namespace {

struct TFindBox {
    DWORD ProcessId;
    HWND Found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    auto* find = reinterpret_cast<TFindBox*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    if (pid == find->ProcessId && std::wstring(cls) == L"#32770" && IsWindowVisible(window)) {
        find->Found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM param) {
    auto* seen = reinterpret_cast<TSeenMessageBox*>(param);
    wchar_t cls[64] = {};
    GetClassNameW(child, cls, 64);
    if (std::wstring(cls) != L"Static")
        return TRUE;
    LONG style = GetWindowLongW(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
        HICON icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        if (icon && icon == LoadIconW(nullptr, IDI_ERROR))
            seen->ErrorIcon = true;
        return TRUE;
    }
    wchar_t text[1024] = {};
    GetWindowTextW(child, text, 1024);
    if (text[0])
        seen->Text = text;
    return TRUE;
}

} // namespace

TMessageBoxWatcher::TMessageBoxWatcher() {
    Thread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
}

TMessageBoxWatcher::~TMessageBoxWatcher() {
    Finish();
}

TSeenMessageBox TMessageBoxWatcher::Finish() {
    if (Thread) {
        InterlockedExchange(&Stop, 1);
        WaitForSingleObject(Thread, 10000);
        CloseHandle(Thread);
        Thread = nullptr;
    }
    return Result;
}

DWORD WINAPI TMessageBoxWatcher::ThreadProc(void* param) {
    auto* self = static_cast<TMessageBoxWatcher*>(param);
    while (!self->Stop) {
        TFindBox find{GetCurrentProcessId(), nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&find));
        if (find.Found) {
            Sleep(50);
            TSeenMessageBox seen;
            seen.Seen = true;
            wchar_t caption[256] = {};
            GetWindowTextW(find.Found, caption, 256);
            seen.Caption = caption;
            EnumChildWindows(find.Found, CollectText, reinterpret_cast<LPARAM>(&seen));
            self->Result = seen;
            PostMessageW(find.Found, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(20);
    }
    return 0;
}

bool PumpUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (predicate())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        Sleep(5);
    }
}

void PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}
