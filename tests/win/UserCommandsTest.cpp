// The character's commands on the real window system: the translucency toggle on a
// window of another process, and the fade-out that ends the program.
#include "WinTestSupport.h"
#include "components/Application.h"
#include "components/ExtCtrls.h"
#include "forms/Logoform.h"
#include "forms/Mainform.h"
#include "forms/Settingform.h"
#include "shell/WindowOps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A captioned window of another process (the end-to-end target program beside this
// one); killed at destruction.
class TOtherProcessWindow {
public:
    TOtherProcessWindow() {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring exe(path);
        exe = exe.substr(0, exe.find_last_of(L'\\')) + L"\\e2e_target.exe";
        std::wstring cmd = L"\"" + exe + L"\" --rect 300 300 320 200";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &Info))
            return;
        PumpUntil([&] { return (Window = FindVisibleWindow(Info.dwProcessId)) != nullptr; },
                  std::chrono::milliseconds(10000));
    }
    ~TOtherProcessWindow() {
        if (Info.hProcess) {
            TerminateProcess(Info.hProcess, 0);
            WaitForSingleObject(Info.hProcess, 5000);
            CloseHandle(Info.hProcess);
            CloseHandle(Info.hThread);
        }
    }
    TOtherProcessWindow(const TOtherProcessWindow&) = delete;
    TOtherProcessWindow& operator=(const TOtherProcessWindow&) = delete;

    HWND Handle() const { return Window; }

    // Stops handling messages for that long, as a program that has stopped
    // responding; true once it is busy.
    bool Hang(DWORD milliseconds) {
        PostMessageW(Window, WM_APP, milliseconds, 0);
        return PumpUntil([&] { return !Answers(); });
    }
    bool Answers() const {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(Window, WM_NULL, 0, 0, SMTO_NORMAL, 50, &result) != 0;
    }

private:
    static HWND FindVisibleWindow(DWORD pid) {
        struct TFind {
            DWORD Pid;
            HWND Found;
        } find{pid, nullptr};
        EnumWindows(
            [](HWND w, LPARAM p) -> BOOL {
                auto* f = reinterpret_cast<TFind*>(p);
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == f->Pid && IsWindowVisible(w)) {
                    f->Found = w;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&find));
        return find.Found;
    }

    PROCESS_INFORMATION Info{};
    HWND Window = nullptr;
};

// Layered, and with that alpha, as the window system reports it; -1 when opaque.
int AlphaOf(HWND window) {
    if (!HasLayeredStyle(window))
        return -1;
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    if (!GetLayeredWindowAttributes(window, &key, &alpha, &flags) || !(flags & LWA_ALPHA))
        return 255;
    return alpha;
}

class UserCommandsTest : public testing::Test {
protected:
    void SetUp() override {
        FadeLevel = 255;
        Application->CreateForm(FmMain);
        Application->CreateForm(FmSetting);
        Application->CreateForm(FmLogo);
        // The tracked window is set by hand here.
        FmMain->Timer1->SetEnabled(false);
        FmMain->Show();
        Character = FmMain->Handle();
    }
    void TearDown() override { Application->DestroyForms(); }

    TSettingsFileGuard Settings;
    HWND Character = nullptr;
};

TEST_F(UserCommandsTest, ClicksToggleTheTrackedWindowOfAnotherProgramAndTheCharacter) {
    TOtherProcessWindow target;
    ASSERT_NE(target.Handle(), nullptr);
    FmMain->TargetWnd = target.Handle();
    ASSERT_EQ(FmMain->TransLevel, 200);

    FmMain->Image1Click(nullptr);
    EXPECT_EQ(AlphaOf(target.Handle()), 200);
    EXPECT_EQ(AlphaOf(Character), 200);

    FmMain->Image1Click(nullptr);
    EXPECT_EQ(AlphaOf(target.Handle()), -1);
    EXPECT_EQ(AlphaOf(Character), -1);

    // The level is read at the click, as its low 8 bits; the character's own state
    // plays no part, only the tracked window's.
    FmMain->TransLevel = 300;
    AddLayeredStyle(Character);
    FmMain->Image1Click(nullptr);
    EXPECT_EQ(AlphaOf(target.Handle()), 44);
    EXPECT_EQ(AlphaOf(Character), 44);
}

TEST_F(UserCommandsTest, ClickWithoutAUsableTrackedWindowChangesNothing) {
    TOtherProcessWindow target;
    ASSERT_NE(target.Handle(), nullptr);
    HWND destroyed = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr);
    DestroyWindow(destroyed);

    FmMain->TargetWnd = nullptr;
    FmMain->Image1Click(nullptr);
    EXPECT_EQ(AlphaOf(Character), -1);

    FmMain->TargetWnd = destroyed;
    FmMain->Image1Click(nullptr);
    EXPECT_EQ(AlphaOf(Character), -1);

    // A program that has stopped handling messages would block the style change
    // until it recovers: the click leaves it and the character alone and returns
    // while that program is still busy.
    ASSERT_TRUE(target.Hang(20000));
    FmMain->TargetWnd = target.Handle();
    FmMain->Image1Click(nullptr);
    EXPECT_FALSE(target.Answers());
    EXPECT_EQ(AlphaOf(target.Handle()), -1);
    EXPECT_EQ(AlphaOf(Character), -1);
}

TEST_F(UserCommandsTest, ExitFadesInFiftyOneStepsThenEndsTheProgram) {
    // Forget a quit request an earlier test may have left in the queue.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }

    std::vector<int> alphas;
    bool quitAfterLastStep = false;
    FmMain->Timer2->OnTimer = [&](TObject* sender) {
        FmMain->Timer2Timer(sender);
        alphas.push_back(AlphaOf(Character));
        quitAfterLastStep = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
        if (alphas.size() == 10) {
            // Exit chosen again neither restarts nor speeds up the fade.
            FmMain->N4Click(nullptr);
            // A click during the fade may leave the character opaque; the next step
            // makes it layered again.
            RemoveLayeredStyle(Character);
        }
    };
    FmMain->N4Click(nullptr);
    ASSERT_TRUE(FmMain->Timer2->Enabled());

    // The message loop as the program runs it: it ends at the quit request.
    bool quit = false;
    DWORD start = GetTickCount();
    while (!quit && GetTickCount() - start < 10000) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        if (msg.message == WM_QUIT) {
            quit = true;
        } else {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    std::vector<int> expected;
    for (int alpha = 255; alpha > 0; alpha -= 5)
        expected.push_back(alpha);
    ASSERT_EQ(expected.size(), 51u);
    EXPECT_EQ(alphas, expected);
    EXPECT_TRUE(quit);
    EXPECT_TRUE(quitAfterLastStep);
    EXPECT_TRUE(Application->Terminated());
    // A tick that comes before the program's windows go leaves the last alpha.
    FmMain->Timer2Timer(nullptr);
    EXPECT_EQ(AlphaOf(Character), 5);
    // Still shown at the last alpha until the program's windows go; nothing saved.
    EXPECT_TRUE(IsWindowVisible(Character));
    EXPECT_EQ(GetFileAttributesA(Settings.Path().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UserCommandsTest, MenuOpenWhenTheFadeEndsDoesNotKeepTheProgramAlive) {
    FmMain->N4Click(nullptr);
    // Closes the menu if the end of the fade did not.
    bool closedByWatchdog = false;
    TTimer watchdog(nullptr);
    watchdog.SetInterval(3000);
    watchdog.OnTimer = [&](TObject*) {
        closedByWatchdog = true;
        EndMenu();
    };
    RECT r{};
    GetWindowRect(Character, &r);
    // The menu's own loop runs the fade to its end.
    FmMain->PopupMenu1->Popup(r.left + 10, r.top + 10);
    EXPECT_FALSE(closedByWatchdog);
    EXPECT_EQ(FadeLevel, 0);
    EXPECT_TRUE(Application->Terminated());
}

} // namespace
