// The character's commands as a user gives them: left clicks toggle translucency,
// a right click opens the context menu, and its entries show the settings dialog,
// the about window, or fade the character out and end the program.
#include "E2eSupport.h"
#include "Screenshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

struct TShownMenu {
    RECT Rect{};
    std::vector<DWORD> Pixels;
};

TShownMenu CaptureMenu(HWND menuWindow) {
    TShownMenu shown;
    shown.Rect = WindowRectOf(menuWindow);
    shown.Pixels = ScreenPixels(shown.Rect);
    return shown;
}

TShownMenu ReferenceCapture;

// Another process's menu items cannot be read under Wine, so the menu is compared
// with one that has exactly the expected entries: opened by this process at the same
// place, with the same kind of items, and captured while it is open.
TShownMenu ReferenceMenu(const std::vector<std::wstring>& entries, POINT at) {
    HWND owner = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                 nullptr, nullptr, nullptr);
    HMENU menu = CreatePopupMenu();
    UINT id = 1;
    for (const std::wstring& entry : entries) {
        if (entry == L"-")
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu, MF_STRING, id++, entry.c_str());
    }
    ReferenceCapture = {};
    SetTimer(owner, 1, 300, [](HWND window, UINT, UINT_PTR, DWORD) {
        KillTimer(window, 1);
        if (HWND open = OpenMenuOf(GetCurrentProcessId()))
            ReferenceCapture = CaptureMenu(open);
        EndMenu();
    });
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, owner,
                   nullptr);
    DestroyMenu(menu);
    DestroyWindow(owner);
    return ReferenceCapture;
}

// With the character's bottom edge on the window's top edge, left edges lined up.
bool PerchedOn(HWND character, HWND window) {
    RECT c = WindowRectOf(character);
    RECT w = WindowRectOf(window);
    return c.left == w.left && c.bottom == w.top;
}

// A running copy with its character perched on the title bar of a window of another
// program.
class UserCommands : public testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(Scratch.Ini(), SettingsBytes);
        App = TProcess(Scratch.Exe());
        Character = WaitForCharacterWindow(App);
        ASSERT_NE(Character, nullptr);
        ASSERT_NE(Target.Handle(), nullptr);
        ASSERT_TRUE(Target.Activate());
        ASSERT_TRUE(WaitFor([&] { return PerchedOn(Character, Target.Handle()); }))
            << "the character did not perch on the target";
    }

    // Right click on the character; the menu as it opened.
    HWND OpenMenu() {
        if (!RightClickAt(CentreOf(Character)))
            return nullptr;
        HWND menu = nullptr;
        WaitFor([&] { return (menu = OpenMenuOf(App.Pid())) != nullptr; }, 3s);
        // The menu takes keys once it has settled.
        Sleep(150);
        return menu;
    }

    // Hand-written, with a comment and odd spacing that a rewrite would lose.
    const std::string SettingsBytes =
        "; mine\r\n[VIEW]\r\nTLEVEL = 200\r\n[POSITION]\r\nPOS=0\r\nLEFT=0\r\nTOP=0\r\n";
    TScratch Scratch{L"user-commands"};
    TTargetWindow Target{200, 260, 420, 300};
    TProcess App;
    HWND Character = nullptr;
};

TEST_F(UserCommands, LeftClicksToggleTheWindowBelowAndTheCharacter) {
    ASSERT_TRUE(LeftClickAt(CentreOf(Character)));
    EXPECT_TRUE(WaitFor([&] { return AlphaOf(Target.Handle()) == 200; }, 2s));
    EXPECT_TRUE(WaitFor([&] { return AlphaOf(Character) == 200; }, 2s));

    // On another, opaque window the character is opaque; the first window stays as
    // the click left it, and going back to it makes the character translucent again.
    TTargetWindow other(560, 420, 300, 200);
    ASSERT_TRUE(other.Activate());
    EXPECT_TRUE(WaitFor([&] { return PerchedOn(Character, other.Handle()); }));
    EXPECT_EQ(AlphaOf(Character), -1);
    EXPECT_EQ(AlphaOf(Target.Handle()), 200);
    ASSERT_TRUE(Target.Activate());
    EXPECT_TRUE(WaitFor([&] { return PerchedOn(Character, Target.Handle()); }));
    EXPECT_EQ(AlphaOf(Character), 200);

    ASSERT_TRUE(LeftClickAt(CentreOf(Character)));
    EXPECT_TRUE(WaitFor([&] { return AlphaOf(Target.Handle()) == -1; }, 2s));
    EXPECT_TRUE(WaitFor([&] { return AlphaOf(Character) == -1; }, 2s));
    EXPECT_EQ(AlphaOf(other.Handle()), -1);
}

TEST_F(UserCommands, RightClickOpensTheMenuWithItsFourEntries) {
    POINT at = CentreOf(Character);
    HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    TShownMenu shown = CaptureMenu(menu);
    // For a person to look at: the menu open over the character.
    EXPECT_TRUE(SaveScreenPng(ScreenshotPath(L"menu")));
    // Opened where the mouse is.
    EXPECT_EQ(shown.Rect.left, at.x);
    EXPECT_EQ(shown.Rect.top, at.y);

    // Esc closes it and nothing else happens.
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return OpenMenuOf(App.Pid()) == nullptr; }, 2s));
    EXPECT_TRUE(App.Running());
    EXPECT_EQ(VisibleTopLevelWindows(App.Pid()), std::vector<HWND>{Character});
    EXPECT_EQ(AlphaOf(Character), -1);

    TShownMenu expected =
        ReferenceMenu({L"設定", L"ｳﾞｧｰｼﾞｮﾝ情報", L"-", L"終了"}, POINT{at.x, at.y});
    ASSERT_FALSE(expected.Pixels.empty());
    EXPECT_TRUE(EqualRect(&shown.Rect, &expected.Rect));
    EXPECT_TRUE(shown.Pixels == expected.Pixels) << "the menu does not look like one with "
                                                    "exactly the four entries";
}

TEST_F(UserCommands, EntriesShowTheSettingsDialogAndTheAboutWindow) {
    ASSERT_NE(OpenMenu(), nullptr);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    HWND settings = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        settings = FindWindowW(L"TForm", L"設定");
        return settings && IsWindowVisible(settings);
    }));

    // The dialog is now the window the user works in: the character moves onto it.
    ASSERT_TRUE(WaitFor([&] { return PerchedOn(Character, settings); }));
    ASSERT_NE(OpenMenu(), nullptr);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] {
        HWND logo = FindWindowW(L"TForm", L"FmLogo");
        return logo && IsWindowVisible(logo);
    }));
}

TEST_F(UserCommands, ExitFadesOutEndsTheProgramAndLeavesTheWindowBelowTranslucent) {
    ASSERT_TRUE(LeftClickAt(CentreOf(Character)));
    ASSERT_TRUE(WaitFor([&] { return AlphaOf(Target.Handle()) == 200; }, 2s));

    ASSERT_NE(OpenMenu(), nullptr);
    // The third step down passes over the separator to the last entry.
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    std::vector<int> seen;
    WaitFor(
        [&] {
            int alpha = AlphaOf(Character);
            if (alpha >= 0 && (seen.empty() || seen.back() != alpha))
                seen.push_back(alpha);
            return !App.Running();
        },
        2s);
    EXPECT_EQ(App.Wait(1s), 0u);
    // Seen going down, none going up again once the fade had begun. A change of the
    // foreground window while the menu closes may mirror the tracked window's alpha
    // (200) onto the character for a moment; the next fade step takes over again.
    auto fading = std::find_if(seen.begin(), seen.end(), [](int a) { return a > 200; });
    ASSERT_NE(fading, seen.end()) << "the fade never started";
    std::vector<int> steps(fading, seen.end());
    std::erase(steps, 200);
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end(), std::greater<int>()))
        << testing::PrintToString(seen);
    EXPECT_LT(seen.back(), 200);

    EXPECT_EQ(ReadFileBytes(Scratch.Ini()), SettingsBytes);
    EXPECT_EQ(AlphaOf(Target.Handle()), 200);
}

} // namespace
