// The about window, driven as a user reaches it: the character's context menu shows
// it, a click on the logo closes it, and moving on to another window closes it.
#include "E2eSupport.h"
#include "Screenshot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

namespace {

constexpr int LogoWidth = 265;
constexpr int LogoHeight = 85;

HWND VisibleMenu() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

// A point of the about window given in its client coordinates, on the screen.
POINT OnLogo(HWND logo, int x, int y) {
    POINT p{x, y};
    ClientToScreen(logo, &p);
    return p;
}

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

class AboutWindow : public testing::Test {
protected:
    void SetUp() override {
        Character = WaitForCharacterWindow(Copy);
        ASSERT_NE(Character, nullptr);
        // The about window is created hidden at start, with the character window's
        // class.
        Logo = FindWindowW(L"TForm", L"FmLogo");
        ASSERT_NE(Logo, nullptr);
        DWORD pid = 0;
        GetWindowThreadProcessId(Logo, &pid);
        ASSERT_EQ(pid, Copy.Pid());
        ASSERT_FALSE(IsWindowVisible(Logo));
        // Start-up brings the character to the front; let it finish before another
        // window is activated, then let the character perch on that one.
        WaitFor([&] { return GetForegroundWindow() == Character; }, 2s);
        Target.emplace(100, 200, 400, 300);
        ASSERT_NE(Target->Handle(), nullptr);
        ASSERT_NO_FATAL_FAILURE(ActivateTarget());
    }

    // Another window to the front, and the character perched on it.
    void ActivateTarget() {
        ASSERT_TRUE(Target->Activate());
        ASSERT_TRUE(
            WaitFor([&] { return WindowRectOf(Character).bottom == Target->Rect().top; }, 2s));
    }

    // Right click on the character, then the version entry with the keyboard (the
    // second entry, after the settings).
    void ChooseVersionEntry() {
        RightClickAt(CentreOf(Character));
        ASSERT_TRUE(WaitFor([] { return VisibleMenu() != nullptr; }, 3s)) << "no context menu";
        Sleep(150);
        PressKey(VK_DOWN);
        PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        ASSERT_TRUE(WaitFor([] { return VisibleMenu() == nullptr; }, 3s));
    }

    void ShowLogo() {
        ASSERT_NO_FATAL_FAILURE(ChooseVersionEntry());
        ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(Logo) != FALSE; }, 3s))
            << "the version entry did not show the about window";
        // Once the tick has seen it in the foreground it is the tracked window, and
        // the character stands on it.
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == Logo; }, 2s));
        ASSERT_TRUE(
            WaitFor([&] { return WindowRectOf(Character).bottom == WindowRectOf(Logo).top; }, 2s));
    }

    TScratch Scratch{L"about-window"};
    TProcess Copy{Scratch.Exe()};
    std::optional<TTargetWindow> Target;
    HWND Character = nullptr;
    HWND Logo = nullptr;
};

TEST_F(AboutWindow, VersionEntryShowsTheLogoCentredAndAClickOnItHidesIt) {
    ASSERT_NO_FATAL_FAILURE(ShowLogo());
    RECT first = WindowRectOf(Logo);
    EXPECT_EQ(first.right - first.left, LogoWidth);
    EXPECT_EQ(first.bottom - first.top, LogoHeight);
    EXPECT_EQ(first.left, (GetSystemMetrics(SM_CXSCREEN) - LogoWidth) / 2);
    EXPECT_EQ(first.top, (GetSystemMetrics(SM_CYSCREEN) - LogoHeight) / 2);
    EXPECT_EQ(GetWindowLongW(Logo, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER), 0);
    EXPECT_EQ(GetWindowLongW(Logo, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(HasNoTaskbarButton(Logo));

    // The logo covers the window: none of its button-face background shows.
    Sleep(300); // painted
    std::wstring shot = ScreenshotPath(L"about");
    EXPECT_TRUE(SaveScreenPng(shot));
    std::printf("screenshot: %ls\n", shot.c_str());
    HDC screen = GetDC(nullptr);
    POINT inside = OnLogo(Logo, 20, 75);
    EXPECT_NE(GetPixel(screen, inside.x, inside.y), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(nullptr, screen);

    // The maker's name and the version line lie over the picture: clicks on them do
    // nothing.
    for (POINT label : {OnLogo(Logo, 40, 12), OnLogo(Logo, 240, 57)}) {
        ASSERT_TRUE(LeftClickAt(label));
        Sleep(300);
        EXPECT_TRUE(IsWindowVisible(Logo)) << "a click on a label closed the window";
    }

    // Below the maker's name, left of the version lines: only the picture.
    ASSERT_TRUE(LeftClickAt(OnLogo(Logo, 20, 75)));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(Logo); }, 2s));
    ASSERT_NO_FATAL_FAILURE(ActivateTarget());

    // Shown again, it stands where it stood.
    ASSERT_NO_FATAL_FAILURE(ShowLogo());
    EXPECT_TRUE(SameRect(WindowRectOf(Logo), first));
    // Chosen while it is open: it stays as it is.
    ASSERT_NO_FATAL_FAILURE(ShowLogo());
    EXPECT_TRUE(SameRect(WindowRectOf(Logo), first));
}

TEST_F(AboutWindow, HiddenByTheNextTickOnceAnotherWindowIsActivated) {
    ASSERT_NO_FATAL_FAILURE(ShowLogo());
    ASSERT_TRUE(Target->Activate());
    // One tick is 100 ms.
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(Logo); }, 1s));
    EXPECT_TRUE(Copy.Running());
}

TEST_F(AboutWindow, StaysWhileTheCharacterIsClickedUntilAnotherWindowIsActivated) {
    ASSERT_NO_FATAL_FAILURE(ShowLogo());
    // The character in the foreground is not a move to another window.
    ASSERT_TRUE(LeftClickAt(CentreOf(Character)));
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == Character; }, 2s));
    Sleep(500);
    EXPECT_TRUE(IsWindowVisible(Logo));

    ASSERT_TRUE(Target->Activate());
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(Logo); }, 1s));
}

} // namespace
