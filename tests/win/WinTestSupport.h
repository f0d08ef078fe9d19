// Helpers for the in-process tests under Wine.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

// Whole-file access for checking what reached the disk.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
void RemoveFile(const std::string& path);

// A 24-bit bottom-up Windows bitmap file of the given pixels (x, y from the top left).
std::string Bmp24(int width, int height, const std::function<COLORREF(int x, int y)>& pixel);

// Removes the settings file beside the test program before and after a test.
class TSettingsFileGuard {
public:
    TSettingsFileGuard();
    ~TSettingsFileGuard();
    TSettingsFileGuard(const TSettingsFileGuard&) = delete;
    TSettingsFileGuard& operator=(const TSettingsFileGuard&) = delete;
    const std::string& Path() const { return FilePath; }

private:
    std::string FilePath;
};

// What a message box of this process showed; filled in by TMessageBoxWatcher.
struct TSeenMessageBox {
    bool Seen = false;
    std::wstring Caption;
    std::wstring Text;
    bool ErrorIcon = false;
};

// Watches from a second thread for a message box of this process, records its
// caption, text and icon, and presses its OK button.
class TMessageBoxWatcher {
public:
    TMessageBoxWatcher();
    ~TMessageBoxWatcher();
    TMessageBoxWatcher(const TMessageBoxWatcher&) = delete;
    TMessageBoxWatcher& operator=(const TMessageBoxWatcher&) = delete;
    // Stops watching and returns what was seen.
    TSeenMessageBox Finish();

private:
    static DWORD WINAPI ThreadProc(void* self);
    HANDLE Thread = nullptr;
    volatile LONG Stop = 0;
    TSeenMessageBox Result;
};

// Pumps this thread's messages until the predicate holds or the time is up.
bool PumpUntil(const std::function<bool()>& predicate,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));
void PumpFor(std::chrono::milliseconds duration);
