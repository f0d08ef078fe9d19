// The settings dialog as a user works it: opened from the character's menu, its
// controls moved with the mouse while the character perches on the dialog, saved,
// and opened again.
#include "E2eSupport.h"
#include "Screenshot.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

bool MoveCursorTo(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    return WaitFor(
        [&] {
            POINT at{};
            GetCursorPos(&at);
            return at.x == screen.x && at.y == screen.y;
        },
        1s);
}

struct TFindChild {
    std::wstring Class;
    std::wstring Text;
    POINT ClientAt; // the child's top-left in its dialog's client area, when no text
    HWND Dialog;
    HWND Found;
};

// A control of the dialog (at any depth) by its class and its caption, or by where
// it stands.
HWND ControlOf(HWND dialog, const std::wstring& cls, const std::wstring& text,
               POINT clientAt = {-1, -1}) {
    TFindChild find{cls, text, clientAt, dialog, nullptr};
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM param) -> BOOL {
            auto* f = reinterpret_cast<TFindChild*>(param);
            if (ClassNameOf(child) != f->Class)
                return TRUE;
            wchar_t caption[128] = {};
            GetWindowTextW(child, caption, 128);
            RECT r = WindowRectOf(child);
            POINT at{r.left, r.top};
            ScreenToClient(f->Dialog, &at);
            bool match = f->ClientAt.x >= 0 ? (at.x == f->ClientAt.x && at.y == f->ClientAt.y)
                                            : f->Text == caption;
            if (match) {
                f->Found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.Found;
}

class SettingsDialogE2e : public testing::Test {
protected:
    void SetUp() override {
        App = TProcess(Scratch.Exe());
        Character = WaitForCharacterWindow(App);
        ASSERT_NE(Character, nullptr);
    }

    // Right click on the character, then the first entry by the keyboard.
    HWND OpenFromMenu() {
        if (!RightClickAt(CentreOf(Character)))
            return nullptr;
        if (!WaitFor([&] { return OpenMenuOf(App.Pid()) != nullptr; }, 3s))
            return nullptr;
        Sleep(150);
        PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        HWND dialog = nullptr;
        WaitFor([&] {
            dialog = FindWindowW(L"TForm", L"設定");
            return dialog && IsWindowVisible(dialog);
        });
        return dialog;
    }

    // Where the character stands relative to the dialog, once the tracking has put it
    // there.
    bool WaitForCharacterAt(const std::function<bool(const RECT&, const RECT&)>& placed,
                            HWND dialog) {
        return WaitFor([&] { return placed(WindowRectOf(Character), WindowRectOf(dialog)); }, 2s);
    }

    TScratch Scratch{L"settings-dialog"};
    TProcess App;
    HWND Character = nullptr;
};

TEST_F(SettingsDialogE2e, MouseEditsMoveTheCharacterAndSaveStoresThem) {
    HWND dialog = OpenFromMenu();
    ASSERT_NE(dialog, nullptr);
    // Centred at its first showing, and the character perches on its top-left corner.
    RECT d = WindowRectOf(dialog);
    EXPECT_EQ(d.left, std::max(0L, (GetSystemMetrics(SM_CXSCREEN) - (d.right - d.left)) / 2));
    EXPECT_EQ(d.top, std::max(0L, (GetSystemMetrics(SM_CYSCREEN) - (d.bottom - d.top)) / 2));
    ASSERT_TRUE(WaitForCharacterAt(
        [](const RECT& c, const RECT& dr) { return c.left == dr.left && c.bottom == dr.top; },
        dialog));

    HWND barX = ControlOf(dialog, L"ScrollBar", L"", POINT{136, 16});
    ASSERT_NE(barX, nullptr);
    RECT bar = WindowRectOf(barX);
    const int middle = (bar.top + bar.bottom) / 2;

    // The right arrow moves the offset by one pixel: the character follows along the
    // dialog's edge at the next tick. A click in the trough moves it by one as well.
    ASSERT_TRUE(LeftClickAt(POINT{bar.right - 4, middle}));
    EXPECT_TRUE(WaitForCharacterAt(
        [](const RECT& c, const RECT& dr) { return c.left == dr.left + 1 && c.bottom == dr.top; },
        dialog));
    EXPECT_EQ(GetScrollPos(barX, SB_CTL), 1);
    ASSERT_TRUE(LeftClickAt(POINT{bar.right - 25, middle}));
    EXPECT_TRUE(WaitForCharacterAt(
        [](const RECT& c, const RECT& dr) { return c.left == dr.left + 2; }, dialog));

    // Dragging the thumb moves the character while the button is still held.
    ASSERT_TRUE(MoveCursorTo(POINT{(bar.left + bar.right) / 2, middle}));
    SendButton(MOUSEEVENTF_LEFTDOWN);
    int movesSeen = 0;
    int last = WindowRectOf(Character).left;
    for (int step = 1; step <= 4; ++step) {
        MoveCursorTo(POINT{(bar.left + bar.right) / 2 + step * 6, middle});
        if (WaitFor([&] { return WindowRectOf(Character).left > last; }, 1s)) {
            ++movesSeen;
            last = WindowRectOf(Character).left;
        }
    }
    SendButton(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(movesSeen, 4) << "the character did not follow every step of the drag";
    Sleep(200);
    const int offsetX = GetScrollPos(barX, SB_CTL);
    EXPECT_GT(offsetX, 2);
    EXPECT_EQ(WindowRectOf(Character).left, WindowRectOf(dialog).left + offsetX);

    // "右下": the character jumps to the dialog's bottom-right corner.
    HWND bottomRight = ControlOf(dialog, L"Button", L"右下");
    ASSERT_NE(bottomRight, nullptr);
    ASSERT_TRUE(LeftClickAt(CentreOf(WindowRectOf(bottomRight))));
    EXPECT_TRUE(WaitForCharacterAt(
        [&](const RECT& c, const RECT& dr) {
            return c.right == dr.right + offsetX && c.bottom == dr.bottom;
        },
        dialog));

    // Save writes the live values and closes the dialog.
    HWND save = ControlOf(dialog, L"Button", L"保存(&S)");
    ASSERT_NE(save, nullptr);
    ASSERT_TRUE(LeftClickAt(CentreOf(WindowRectOf(save))));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }));
    EXPECT_EQ(ReadFileBytes(Scratch.Ini()),
              "[PICTURE]\r\nNAME=\r\n[POSITION]\r\nTOP=0\r\nLEFT=" + std::to_string(offsetX) +
                  "\r\nPOS=3\r\n[VIEW]\r\nTLEVEL=200\r\n");

    // Opened again, at the same place, with its controls filled from the file.
    HWND again = OpenFromMenu();
    ASSERT_EQ(again, dialog);
    RECT d2 = WindowRectOf(dialog);
    EXPECT_TRUE(EqualRect(&d, &d2));
    EXPECT_EQ(GetScrollPos(barX, SB_CTL), offsetX);
    EXPECT_EQ(SendMessageW(bottomRight, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(ControlOf(dialog, L"Button", L"左上"), BM_GETCHECK, 0, 0),
              BST_UNCHECKED);
    EXPECT_TRUE(WaitForCharacterAt(
        [&](const RECT& c, const RECT& dr) {
            return c.right == dr.right + offsetX && c.bottom == dr.bottom;
        },
        dialog));
    // For a person to compare with the designed layout.
    Sleep(200);
    EXPECT_TRUE(SaveScreenPng(ScreenshotPath(L"settings-dialog")));
}

} // namespace
