// The timer component on the real window system.
#include "WinTestSupport.h"
#include "components/ExtCtrls.h"
#include "components/SysUtils.h"

#include <gtest/gtest.h>

namespace {

BOOL CALLBACK FindOwnDialog(HWND window, LPARAM param) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t cls[16] = {};
    GetClassNameW(window, cls, 16);
    if (pid == GetCurrentProcessId() && std::wstring(cls) == L"#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }
    return TRUE;
}

bool MessageBoxOpen() {
    bool open = false;
    EnumWindows(FindOwnDialog, reinterpret_cast<LPARAM>(&open));
    return open;
}

// An error in a tick is shown in a message box, whose own message loop goes on
// delivering timer messages. The timer must not run its handler again underneath
// the box, or a failing tick would stack up boxes ten times a second.
TEST(Timer, ATickShowingItsErrorIsNotRunAgainUnderneath) {
    TTimer timer(nullptr);
    timer.SetInterval(10);
    int ticks = 0;
    int ticksUnderTheBox = 0;
    timer.OnTimer = [&](TObject*) {
        ++ticks;
        if (MessageBoxOpen())
            ++ticksUnderTheBox;
        if (ticks == 1)
            throw Exception(L"tick failed");
    };
    TMessageBoxWatcher watcher;
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 5; }, std::chrono::seconds(5)));
    EXPECT_TRUE(watcher.Finish().Seen);
    EXPECT_EQ(ticksUnderTheBox, 0);
}

TEST(Timer, EnablingARunningTimerDoesNotRestartIt) {
    TTimer timer(nullptr);
    timer.SetInterval(200);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) { ++ticks; };
    // Enabling it again every 50 ms would keep a restarted timer from ever firing.
    auto start = GetTickCount();
    while (GetTickCount() - start < 700) {
        timer.SetEnabled(true);
        PumpFor(std::chrono::milliseconds(50));
    }
    EXPECT_GE(ticks, 2);
}

} // namespace
