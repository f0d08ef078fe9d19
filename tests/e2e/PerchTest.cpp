// The character perching on windows of another program, driven from outside: where
// it stands, how it follows, whose translucency it takes, and what the user sees.
#include "E2eSupport.h"
#include "Screenshot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The built-in plate's size.
const int PlateWidth = 90;
const int PlateHeight = 30;

// A running copy of tomarin in a fresh scratch folder with the given settings file,
// its character window shown and in the foreground (as start-up leaves it).
class TCharacter {
public:
    explicit TCharacter(const std::string& settings = "") : Scratch(L"perch") {
        if (!settings.empty())
            WriteFileBytes(Scratch.Ini(), settings);
        Process = TProcess(Scratch.Exe());
        Window = WaitForCharacterWindow(Process);
        if (!Window && FindMessageBox(Process.Pid()))
            ADD_FAILURE() << "refused to start: another copy of tomarin is running";
        // Start-up brings the character to the front; let it finish doing so before a
        // test activates another window.
        WaitFor([&] { return GetForegroundWindow() == Window; }, 2s);
    }
    HWND Handle() const { return Window; }
    RECT Rect() const { return WindowRectOf(Window); }

    // True once the character's top-left corner is at (left, top) with the plate's size.
    bool ArrivesAt(int left, int top, std::chrono::milliseconds timeout = 2s) const {
        RECT expected{left, top, left + PlateWidth, top + PlateHeight};
        bool arrived = WaitFor(
            [&] {
                RECT r = Rect();
                return EqualRect(&r, &expected) != FALSE;
            },
            timeout);
        if (!arrived) {
            RECT r = Rect();
            ADD_FAILURE() << "character at " << r.left << "," << r.top << " " << r.right - r.left
                          << "x" << r.bottom - r.top << ", expected " << left << "," << top;
        }
        return arrived;
    }

    // True when the character keeps its rectangle for the whole time (several ticks).
    bool StaysFor(std::chrono::milliseconds time) const {
        RECT before = Rect();
        return !WaitFor(
            [&] {
                RECT r = Rect();
                return EqualRect(&r, &before) == FALSE;
            },
            time);
    }

private:
    TScratch Scratch;
    TProcess Process;
    HWND Window = nullptr;
};

std::string PositionSettings(int corner, int offsetLeft, int offsetTop) {
    return "[POSITION]\r\nTOP=" + std::to_string(offsetTop) +
           "\r\nLEFT=" + std::to_string(offsetLeft) + "\r\nPOS=" + std::to_string(corner) + "\r\n";
}

RECT WorkArea() {
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

TEST(Perch, EachCornerWithAndWithoutOffsets) {
    // Outer rectangle 200,200 - 600,500.
    TTargetWindow target(200, 200, 400, 300);
    struct TCase {
        int Corner, OffsetLeft, OffsetTop, Left, Top;
    };
    const std::vector<TCase> cases = {
        {0, 0, 0, 200, 170},   {1, 0, 0, 200, 470},   {2, 0, 0, 510, 170},   {3, 0, 0, 510, 470},
        {0, 20, -8, 220, 162}, {1, 20, -8, 220, 462}, {2, -10, 5, 500, 175}, {3, -10, 5, 500, 475},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE("corner " + std::to_string(c.Corner) + " offsets " +
                     std::to_string(c.OffsetLeft) + "," + std::to_string(c.OffsetTop));
        TCharacter character(PositionSettings(c.Corner, c.OffsetLeft, c.OffsetTop));
        ASSERT_NE(character.Handle(), nullptr);
        ASSERT_TRUE(target.Activate());
        EXPECT_TRUE(character.ArrivesAt(c.Left, c.Top));
    }
}

TEST(Perch, FollowsAMovedAndAResizedTarget) {
    TTargetWindow target(200, 200, 400, 300);
    TCharacter character(PositionSettings(3, 0, 0));
    ASSERT_TRUE(target.Activate());
    ASSERT_TRUE(character.ArrivesAt(510, 470));
    // Within a few ticks of 100 ms.
    target.SetRect(300, 250, 400, 300);
    EXPECT_TRUE(character.ArrivesAt(610, 520, 1s));
    target.SetRect(300, 250, 500, 350);
    EXPECT_TRUE(character.ArrivesAt(710, 570, 1s));
}

TEST(Perch, CornerOutsideTheFourStaysAtItsStartPlaceYetMirrors) {
    TTargetWindow target(200, 200, 400, 300, L"--layered 128");
    for (int corner : {4, -1}) {
        SCOPED_TRACE("corner " + std::to_string(corner));
        TCharacter character(PositionSettings(corner, 37, -11));
        ASSERT_NE(character.Handle(), nullptr);
        RECT start = character.Rect();
        EXPECT_EQ(start.left, 37);
        EXPECT_EQ(start.bottom, WorkArea().bottom - 11);
        ASSERT_TRUE(target.Activate());
        // The tick still tracks the window and takes over its translucency.
        EXPECT_TRUE(WaitFor([&] { return AlphaOf(character.Handle()) == 200; }, 2s));
        EXPECT_TRUE(character.StaysFor(600ms));
    }
}

TEST(Perch, TakesOverTheTranslucencyOfEachNewTarget) {
    TTargetWindow layered(100, 250, 300, 200, L"--layered 128");
    TTargetWindow opaque(500, 250, 300, 200);
    struct TCase {
        std::string Settings;
        int Alpha;
    };
    // The alpha is the low 8 bits of the level.
    const std::vector<TCase> cases = {{"", 200}, {"[VIEW]\r\nTLEVEL=300\r\n", 44}};
    for (const TCase& c : cases) {
        SCOPED_TRACE("alpha " + std::to_string(c.Alpha));
        TCharacter character(c.Settings);
        HWND h = character.Handle();
        ASSERT_NE(h, nullptr);
        ASSERT_TRUE(layered.Activate());
        EXPECT_TRUE(WaitFor([&] { return AlphaOf(h) == c.Alpha; }, 2s)) << AlphaOf(h);
        ASSERT_TRUE(opaque.Activate());
        EXPECT_TRUE(WaitFor([&] { return AlphaOf(h) == -1; }, 2s)) << AlphaOf(h);
        ASSERT_TRUE(layered.Activate());
        EXPECT_TRUE(WaitFor([&] { return AlphaOf(h) == c.Alpha; }, 2s)) << AlphaOf(h);
    }
}

TEST(Perch, ClickOnTheCharacterKeepsItOnTheWindowItPerchedOn) {
    TTargetWindow target(200, 200, 400, 300);
    TCharacter character;
    ASSERT_TRUE(target.Activate());
    ASSERT_TRUE(character.ArrivesAt(200, 170));

    ASSERT_TRUE(LeftClickAt(POINT{245, 185}));
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == character.Handle(); }, 2s));
    EXPECT_TRUE(character.StaysFor(500ms));
    // While the character is in front it does not look for another window, and the
    // one it perched on is not followed either.
    target.SetRect(250, 240, 400, 300);
    EXPECT_TRUE(character.StaysFor(500ms));
    ASSERT_TRUE(target.Activate());
    EXPECT_TRUE(character.ArrivesAt(250, 210));
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

TEST(Perch, ScreenshotOfTheCharacterOnATitleBar) {
    TTargetWindow target(200, 200, 400, 300, L"--title \"Perch target\"");
    TCharacter character;
    ASSERT_TRUE(target.Activate());
    ASSERT_TRUE(character.ArrivesAt(200, 170));
    Sleep(300); // painted

    std::wstring path = ScreenshotPath(L"perch");
    EXPECT_TRUE(SaveScreenPng(path));
    std::printf("screenshot: %ls\n", path.c_str());

    // The plate's key pixels (0,0) and (45,1) are cut away: the desktop shows through,
    // as it does just above the plate. Elsewhere the plate is drawn.
    const COLORREF key = RGB(0x5E, 0x5F, 0x63);
    COLORREF desktop = ScreenPixel(245, 169);
    EXPECT_NE(ScreenPixel(245, 171), key);
    EXPECT_EQ(ScreenPixel(245, 171), desktop);
    EXPECT_EQ(ScreenPixel(200, 170), ScreenPixel(200, 169));
    EXPECT_NE(ScreenPixel(245, 185), desktop);
    EXPECT_NE(ScreenPixel(246, 171), desktop);
    // It stands on the title bar: the target's frame starts right below it.
    EXPECT_NE(ScreenPixel(245, 200), desktop);
}

} // namespace
