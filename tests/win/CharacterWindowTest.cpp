// The character window's set-up and settings loading on the real window system:
// what the user sees at start, read back from the window (rectangle, region, styles).
#include "WinTestSupport.h"
#include "components/Application.h"
#include "components/Handles.h"
#include "forms/Logoform.h"
#include "forms/Mainform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const COLORREF Key = RGB(0xFF, 0x00, 0xFF);

// 40 x 20: key colour in a 10 x 5 block at the top left and in the five rightmost
// columns, so the shape is the rest.
std::string ShapedPicture() {
    return Bmp24(40, 20, [](int x, int y) {
        if ((x < 10 && y < 5) || x >= 35)
            return Key;
        return RGB(x * 6, y * 12, 128);
    });
}

TRegionHandle RectRegion(int left, int top, int right, int bottom) {
    return TRegionHandle(CreateRectRgn(left, top, right, bottom));
}

// The full rectangle less the given holes.
TRegionHandle ShapeOf(int width, int height, const std::vector<RECT>& holes) {
    TRegionHandle shape = RectRegion(0, 0, width, height);
    for (const RECT& hole : holes) {
        TRegionHandle h = RectRegion(hole.left, hole.top, hole.right, hole.bottom);
        CombineRgn(shape.Get(), shape.Get(), h.Get(), RGN_DIFF);
    }
    return shape;
}

// The built-in plate: everything but its two key-coloured pixels.
TRegionHandle BuiltInShape() {
    return ShapeOf(90, 30, {{0, 0, 1, 1}, {45, 1, 46, 2}});
}

// The window's region, or null when it has none.
TRegionHandle WindowRegion(HWND window) {
    TRegionHandle r = RectRegion(0, 0, 0, 0);
    if (GetWindowRgn(window, r.Get()) == ERROR)
        r.Reset();
    return r;
}

bool SameRegion(const TRegionHandle& a, const TRegionHandle& b) {
    return a && b && EqualRgn(a.Get(), b.Get());
}

RECT WorkArea() {
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

RECT WindowRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// A folder of test pictures beside the test program, removed afterwards.
class TPictureFolder {
public:
    TPictureFolder() {
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        Dir = std::string(exe);
        Dir = Dir.substr(0, Dir.find_last_of('\\')) + "\\character-pictures";
        CreateDirectoryA(Dir.c_str(), nullptr);
    }
    ~TPictureFolder() {
        for (const std::string& f : Files)
            RemoveFile(f);
        RemoveDirectoryA(Dir.c_str());
    }
    std::string Add(const std::string& name, const std::string& bytes) {
        std::string path = Dir + "\\" + name;
        WriteFileBytes(path, bytes);
        Files.push_back(path);
        return path;
    }
    const std::string& Path() const { return Dir; }

private:
    std::string Dir;
    std::vector<std::string> Files;
};

class CharacterWindowTest : public testing::Test {
protected:
    void TearDown() override { Application->DestroyForms(); }

    void Start(const std::string& settings = "") {
        if (!settings.empty())
            WriteFileBytes(Settings.Path(), settings);
        Application->CreateForm(FmMain);
        Application->CreateForm(FmLogo);
    }

    TSettingsFileGuard Settings;
    TPictureFolder Pictures;
};

TEST_F(CharacterWindowTest, FirstStartWithoutSettingsFile) {
    TMessageBoxWatcher boxes;
    Start();
    EXPECT_FALSE(boxes.Finish().Seen);

    EXPECT_EQ(FmMain->PictureName, "");
    EXPECT_EQ(FmMain->OffsetTop, 0);
    EXPECT_EQ(FmMain->OffsetLeft, 0);
    EXPECT_EQ(FmMain->BaseCorner, 0);
    EXPECT_EQ(FmMain->TransLevel, 200);
    EXPECT_EQ(FmMain->TargetWnd, nullptr);
    EXPECT_EQ(FmMain->PrevTargetWnd, nullptr);

    // The built-in plate, at the window's origin, covering it.
    EXPECT_EQ(FmMain->Image1->Picture()->Width(), 90);
    EXPECT_EQ(FmMain->Image1->Picture()->Height(), 30);
    EXPECT_EQ(FmMain->Image1->Left(), 0);
    EXPECT_EQ(FmMain->Image1->Top(), 0);
    EXPECT_EQ(FmMain->Image1->PopupMenu, FmMain->PopupMenu1);

    HWND h = FmMain->Handle();
    RECT r = WindowRectOf(h);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.bottom, WorkArea().bottom);
    EXPECT_EQ(r.right - r.left, 90);
    EXPECT_EQ(r.bottom - r.top, 30);
    EXPECT_TRUE(SameRegion(WindowRegion(h), BuiltInShape()));
    EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(IsWindowVisible(h)); // the message loop shows it
    // No taskbar button: the application window is exactly a tool window.
    EXPECT_EQ(GetWindowLongW(Application->Handle(), GWL_EXSTYLE), WS_EX_TOOLWINDOW);

    EXPECT_TRUE(FmMain->Timer1->Enabled());
    EXPECT_EQ(FmMain->Timer1->Interval(), 100u);
    EXPECT_FALSE(FmMain->Timer2->Enabled());
}

TEST_F(CharacterWindowTest, PictureNamedInSettingsGivesItsSizeShapeAndPlace) {
    Pictures.Add("shaped.bmp", ShapedPicture());
    // A relative name is found through the current directory.
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(Pictures.Path().c_str());
    Start("[PICTURE]\r\nNAME=shaped.bmp\r\n[POSITION]\r\nTOP=-7\r\nLEFT=33\r\n");
    SetCurrentDirectoryA(previous);

    HWND h = FmMain->Handle();
    RECT r = WindowRectOf(h);
    EXPECT_EQ(r.left, 33);
    EXPECT_EQ(r.bottom, WorkArea().bottom - 7);
    EXPECT_EQ(r.right - r.left, 40);
    EXPECT_EQ(r.bottom - r.top, 20);
    EXPECT_EQ(FmMain->Image1->Width(), 40);
    EXPECT_TRUE(SameRegion(WindowRegion(h), ShapeOf(40, 20, {{0, 0, 10, 5}, {35, 0, 40, 20}})));
}

TEST_F(CharacterWindowTest, NameThatIsNoFileIsKeptAndLoadsNothing) {
    const std::vector<std::string> names = {Pictures.Path() + "\\missing.bmp", Pictures.Path()};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        TMessageBoxWatcher boxes;
        Start("[PICTURE]\r\nNAME=" + name + "\r\n");
        EXPECT_FALSE(boxes.Finish().Seen);
        EXPECT_EQ(FmMain->PictureName, name); // a later Save writes it back
        EXPECT_EQ(FmMain->Width(), 90);
        EXPECT_EQ(FmMain->Height(), 30);
        EXPECT_TRUE(SameRegion(WindowRegion(FmMain->Handle()), BuiltInShape()));
        Application->DestroyForms();
    }
}

TEST_F(CharacterWindowTest, ShapeOnlyKeepsPlaceAndRecord) {
    Start("[POSITION]\r\nLEFT=21\r\nTOP=-3\r\n");
    RECT before = WindowRectOf(FmMain->Handle());
    // The file changes behind the window's back; shape-only mode does not read it.
    WriteFileBytes(Settings.Path(), "[POSITION]\r\nLEFT=500\r\n");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Settings.Path().c_str());

    std::string big = Pictures.Add("big.bmp", Bmp24(120, 60, [](int x, int y) {
                                       return x < 60 && y < 30 ? Key : RGB(10, 200, 30);
                                   }));
    FmMain->Image1->Picture()->LoadFromFile(big);
    FmMain->PictureName = big;
    FmMain->LoadSettings(1);

    RECT after = WindowRectOf(FmMain->Handle());
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, 120);
    EXPECT_EQ(after.bottom - after.top, 60);
    EXPECT_TRUE(SameRegion(WindowRegion(FmMain->Handle()), ShapeOf(120, 60, {{0, 0, 60, 30}})));
    EXPECT_EQ(FmMain->OffsetLeft, 21);
    EXPECT_EQ(FmMain->PictureName, big);
}

TEST_F(CharacterWindowTest, PictureOfOneColourHasNoRegion) {
    std::string flat =
        Pictures.Add("flat.bmp", Bmp24(30, 10, [](int, int) { return RGB(1, 2, 3); }));
    Start("[PICTURE]\r\nNAME=" + flat + "\r\n");
    EXPECT_EQ(FmMain->Width(), 30);
    EXPECT_EQ(FmMain->Height(), 10);
    EXPECT_FALSE(WindowRegion(FmMain->Handle()));
}

TEST_F(CharacterWindowTest, BrokenPictureAtStartKeepsTheBuiltInPlateInReach) {
    std::string broken = Pictures.Add("broken.bmp", "BM this is no bitmap");
    TMessageBoxWatcher boxes;
    Start("[PICTURE]\r\nNAME=" + broken + "\r\n[POSITION]\r\nLEFT=12\r\n");
    TSeenMessageBox seen = boxes.Finish();
    EXPECT_TRUE(seen.Seen);
    EXPECT_EQ(seen.Caption, L"とまりん");
    // The loader's message, ended with a full stop by the exception display.
    EXPECT_EQ(seen.Text, L"ビットマップイメージが不正です.");
    EXPECT_TRUE(seen.ErrorIcon);

    // The record holds what was read; the window has the plate's size, shape and the
    // usual place instead of the 0 x 0 at (0, 0) it had before the load.
    EXPECT_EQ(FmMain->PictureName, broken);
    HWND h = FmMain->Handle();
    RECT r = WindowRectOf(h);
    EXPECT_EQ(r.left, 12);
    EXPECT_EQ(r.bottom, WorkArea().bottom);
    EXPECT_EQ(r.right - r.left, 90);
    EXPECT_EQ(r.bottom - r.top, 30);
    EXPECT_TRUE(SameRegion(WindowRegion(h), BuiltInShape()));
    EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

} // namespace
