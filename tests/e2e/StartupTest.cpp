// Start-up and the single-instance guard, driven from outside.
#include "E2eSupport.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The one visible window of a running copy: its character window.
HWND WaitForCharacter(const TProcess& p) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            auto windows = VisibleTopLevelWindows(p.Pid());
            if (windows.size() == 1 && ClassNameOf(windows[0]) == L"TForm")
                found = windows[0];
            return found != nullptr;
        },
        10s);
    if (!found) {
        for (HWND w : VisibleTopLevelWindows(p.Pid()))
            ADD_FAILURE() << "visible window of class " << testing::PrintToString(ClassNameOf(w));
    }
    return found;
}

void ExpectWarningBox(HWND box) {
    ASSERT_NE(box, nullptr);
    // Read once it has been painted: the icon is compared by its pixels.
    TMessageBoxContent c;
    WaitFor([&] {
        c = ReadMessageBox(box);
        return !c.Icon.empty();
    });
    EXPECT_EQ(c.Caption, L"警告");
    EXPECT_EQ(c.Text, L"多重起動は禁止されています");
    EXPECT_EQ(c.Icon, L"warning");
    EXPECT_EQ(c.Buttons, std::vector<std::wstring>{L"OK"});
}

TEST(Startup, FirstStartShowsOnlyTheCharacterWithoutTaskbarButton) {
    TScratch scratch(L"first-start");
    TProcess first(scratch.Exe());
    ASSERT_TRUE(first.Started());
    HWND character = WaitForCharacter(first);
    ASSERT_NE(character, nullptr);
    // Stays so: the settings dialog and about window remain hidden.
    Sleep(300);
    EXPECT_EQ(VisibleTopLevelWindows(first.Pid()).size(), 1u);
    EXPECT_TRUE(HasNoTaskbarButton(character));
    EXPECT_TRUE(GetWindowLongW(character, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // The application window that owns it is a tool window: no taskbar button either.
    HWND owner = GetWindow(character, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(GetWindowLongW(owner, GWL_EXSTYLE), WS_EX_TOOLWINDOW);
    EXPECT_TRUE(first.Running());
}

TEST(Startup, SecondStartIsRefusedWhileTheFirstRuns) {
    TScratch scratch(L"second-start");
    TProcess first(scratch.Exe());
    ASSERT_NE(WaitForCharacter(first), nullptr);

    TProcess second(scratch.Exe());
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindMessageBox(second.Pid())) != nullptr; }));
    ExpectWarningBox(box);
    // Only the box: the refused copy creates no window of its own.
    EXPECT_EQ(VisibleTopLevelWindows(second.Pid()).size(), 1u);

    // While the box is open the refused copy holds no handle to the mutex: once the
    // first copy ends, a third start runs.
    first.Kill();
    TProcess third(scratch.Exe());
    EXPECT_NE(WaitForCharacter(third), nullptr);
    EXPECT_EQ(FindMessageBox(third.Pid()), nullptr);

    PressOk(box);
    EXPECT_EQ(second.Wait(5s), 1u);
    EXPECT_TRUE(third.Running());
}

TEST(Startup, SecondStartLeavesTheFirstUndisturbed) {
    TScratch scratch(L"undisturbed");
    TProcess first(scratch.Exe());
    HWND character = WaitForCharacter(first);
    ASSERT_NE(character, nullptr);
    RECT before;
    GetWindowRect(character, &before);

    TProcess second(scratch.Exe());
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindMessageBox(second.Pid())) != nullptr; }));
    PressOk(box);
    EXPECT_EQ(second.Wait(5s), 1u);
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindowVisible(character));
    // Nothing was written by either copy.
    EXPECT_EQ(GetFileAttributesW(scratch.Ini().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Startup, ClosingTheCharacterWindowEndsWithExitCodeZero) {
    TScratch scratch(L"close");
    TProcess copy(scratch.Exe());
    HWND character = WaitForCharacter(copy);
    ASSERT_NE(character, nullptr);
    PostMessageW(character, WM_CLOSE, 0, 0);
    EXPECT_EQ(copy.Wait(5s), 0u);
    // Nothing is saved at exit.
    EXPECT_EQ(GetFileAttributesW(scratch.Ini().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Startup, TheProgramFileCarriesItsIcon) {
    // The icon Explorer shows for tomarin.exe: one icon group in the file itself.
    const std::wstring exe = BinDir() + L"\\tomarin.exe";
    EXPECT_EQ(ExtractIconExW(exe.c_str(), -1, nullptr, nullptr, 0), 1u);
}

TEST(Startup, KilledCopyLeavesNoGuardBehind) {
    TScratch scratch(L"killed");
    {
        TProcess first(scratch.Exe());
        ASSERT_NE(WaitForCharacter(first), nullptr);
        first.Kill();
    }
    TProcess next(scratch.Exe());
    EXPECT_NE(WaitForCharacter(next), nullptr);
    EXPECT_EQ(FindMessageBox(next.Pid()), nullptr);
}

TEST(Startup, TenCopiesStartedTogetherLeaveExactlyOneRunning) {
    TScratch scratch(L"ten");
    std::vector<TProcess> copies;
    for (int i = 0; i < 10; ++i)
        copies.emplace_back(scratch.Exe(), L"", true);
    for (TProcess& p : copies)
        p.Resume();

    auto classify = [&](int& characters, int& boxes) {
        characters = boxes = 0;
        for (TProcess& p : copies) {
            for (HWND w : VisibleTopLevelWindows(p.Pid())) {
                std::wstring cls = ClassNameOf(w);
                characters += cls == L"TForm";
                boxes += cls == L"#32770";
            }
        }
    };
    int characters = 0;
    int boxes = 0;
    EXPECT_TRUE(WaitFor(
        [&] {
            classify(characters, boxes);
            return characters + boxes == 10;
        },
        30s));
    EXPECT_EQ(characters, 1);
    EXPECT_EQ(boxes, 9);

    int refused = 0;
    for (TProcess& p : copies) {
        HWND box = FindMessageBox(p.Pid());
        if (!box)
            continue;
        ExpectWarningBox(box);
        PressOk(box);
        EXPECT_EQ(p.Wait(5s), 1u);
        ++refused;
    }
    EXPECT_EQ(refused, 9);
    EXPECT_EQ(std::count_if(copies.begin(), copies.end(), [](TProcess& p) { return p.Running(); }),
              1);
}

} // namespace
