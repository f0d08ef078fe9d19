// The about window in-process: the file version it reads, its size and place, and
// which clicks close it.
#include "WinTestSupport.h"
#include "components/Application.h"
#include "components/FileSystem.h"
#include "components/Text.h"
#include "forms/Logoform.h"
#include "shell/VersionLibrary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(FileVersionText, ReadsTheFixedFileVersionOrNothing) {
    std::string dir = ExtractFilePath(ExeFileName());
    std::string keepAlive = dir + "wine_keepalive.exe";
    ASSERT_TRUE(FileExists(keepAlive)) << "built beside the tests, without a version resource";
    std::string notAProgram = dir + "logo-test-not-a-program.exe";
    WriteFileBytes(notAProgram, "MZ but nothing of a program follows");

    struct TCase {
        std::string File;
        std::string Expected;
    };
    std::vector<TCase> cases = {
        // This test program links the program's resources, version included.
        {ExeFileName(), TOMARIN_EXPECTED_VERSION},
        {keepAlive, ""},
        {notAProgram, ""},
        {dir + "logo-test-no-such-file.exe", ""},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(FileVersionText(c.File), c.Expected) << c.File;
    RemoveFile(notAProgram);
}

// What the file's properties show: the strings of the language and code page the
// translation table names.
TEST(FileVersionText, ProductStringsUnderTheDeclaredTranslation) {
    std::string exe = ExeFileName();
    TVersionLibrary version;
    ASSERT_TRUE(version.Loaded());
    DWORD size = version.GetFileVersionInfoSizeA(exe.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(version.GetFileVersionInfoA(exe.c_str(), 0, size, block.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        version.VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_GE(length, 4u);
    auto* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], 0x0411); // Japanese
    char tableName[64];
    std::snprintf(tableName, sizeof tableName, "\\StringFileInfo\\%04x%04x\\", translation[0],
                  translation[1]);
    const std::string table = tableName;

    std::vector<std::pair<std::string, std::string>> strings = {
        {"CompanyName", "Tomarin Project"},           {"ProductName", "tomarin"},
        {"OriginalFilename", "tomarin.exe"},          {"FileVersion", TOMARIN_EXPECTED_VERSION},
        {"ProductVersion", TOMARIN_EXPECTED_VERSION},
    };
    for (const auto& [key, expected] : strings) {
        ASSERT_TRUE(version.VerQueryValueA(block.data(), (table + key).c_str(), &value, &length))
            << key;
        EXPECT_EQ(std::string(static_cast<const char*>(value)), expected) << key;
    }
    for (const char* key : {"FileDescription", "LegalCopyright"}) {
        EXPECT_TRUE(version.VerQueryValueA(block.data(), (table + key).c_str(), &value, &length) &&
                    length > 1)
            << key;
    }
}

// The program's start-up order: a main window first, then the about window, so that
// closing the about window only hides it.
class TStandInMain : public TForm {
public:
    explicit TStandInMain(TComponent* owner) : TForm(owner, StandInDesign()) {}

private:
    static TFormDesign StandInDesign() {
        TFormDesign d;
        d.BorderStyle = TBorderStyle::bsNone;
        d.ClientWidth = 10;
        d.ClientHeight = 10;
        return d;
    }
};
TStandInMain* StandInMain = nullptr;

class LogoformTest : public testing::Test {
protected:
    void SetUp() override {
        Application->CreateForm(StandInMain);
        Application->CreateForm(FmLogo);
        ASSERT_NE(FmLogo, nullptr);
    }
    void TearDown() override { Application->DestroyForms(); }
};

TEST_F(LogoformTest, CreatedHiddenBorderlessAtThePictureSizeWithItsThreeLines) {
    HWND window = FmLogo->Handle();
    EXPECT_FALSE(IsWindowVisible(window));
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 265);
    EXPECT_EQ(r.bottom - r.top, 85);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER), 0);
    // Not topmost: the character stays above it. Owned by the application window:
    // no taskbar button.
    EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetWindow(window, GW_OWNER), Application->Handle());

    EXPECT_EQ(FmLogo->Image1->Picture()->Width(), 265);
    EXPECT_EQ(FmLogo->Image1->Picture()->Height(), 85);
    RECT image = FmLogo->Image1->BoundsRect();
    EXPECT_EQ(image.left, 0);
    EXPECT_EQ(image.top, 0);
    EXPECT_EQ(image.right, 265);
    EXPECT_EQ(image.bottom, 85);

    // The labels come after the picture, so they are painted over it and take the
    // clicks that land on them.
    std::vector<TControl*> order = {FmLogo->Image1, FmLogo->Label2, FmLogo->Label1, FmLogo->Label};
    EXPECT_EQ(FmLogo->Controls(), order);

    struct TLine {
        TLabel* Label;
        std::wstring Caption;
        bool Bold;
        bool Italic;
    };
    std::vector<TLine> lines = {
        {FmLogo->Label2, L"Tomarin Project", true, true},
        {FmLogo->Label1, AnsiToWide("Version " TOMARIN_EXPECTED_VERSION), true, false},
        {FmLogo->Label, L"For Windows2000/XP", false, true},
    };
    for (const TLine& line : lines) {
        SCOPED_TRACE(line.Caption);
        EXPECT_EQ(line.Label->Caption(), line.Caption);
        EXPECT_EQ(line.Label->Font().Name, L"ＭＳ Ｐゴシック");
        EXPECT_EQ(line.Label->Font().Charset, SHIFTJIS_CHARSET);
        EXPECT_EQ(line.Label->Font().Height, 13);
        EXPECT_EQ(line.Label->Font().Bold, line.Bold);
        EXPECT_EQ(line.Label->Font().Italic, line.Italic);
    }
    EXPECT_EQ(FmLogo->Label2->Left(), 6);
    EXPECT_EQ(FmLogo->Label2->Top(), 6);
    EXPECT_EQ(FmLogo->Label1->Left() + FmLogo->Label1->Width(), 257);
    EXPECT_EQ(FmLogo->Label1->Top(), 51);
    RECT platforms = FmLogo->Label->BoundsRect();
    EXPECT_EQ(platforms.left, 125);
    EXPECT_EQ(platforms.top, 64);
    EXPECT_EQ(platforms.right, 125 + 137);
    EXPECT_EQ(platforms.bottom, 64 + 13);
    EXPECT_EQ(FmLogo->Label->Alignment(), TAlignment::taCenter);
}

TEST_F(LogoformTest, VersionLineEndsAt257WhateverTheVersionsLength) {
    int previousLeft = 257;
    // From no version at all (an exe without version information) to the longest.
    for (const wchar_t* text : {L"Version ", L"Version 0.5.3.50", L"Version 10.0.12.3",
                                L"Version 65535.65535.65535.65535"}) {
        SCOPED_TRACE(text);
        FmLogo->Label1->SetCaption(text);
        EXPECT_EQ(FmLogo->Label1->Left() + FmLogo->Label1->Width(), 257);
        EXPECT_EQ(FmLogo->Label1->Top(), 51);
        // Grows to the left.
        EXPECT_LT(FmLogo->Label1->Left(), previousLeft);
        previousLeft = FmLogo->Label1->Left();
    }
}

TEST_F(LogoformTest, ClickOnThePictureHidesClickOnALabelDoesNothing) {
    FmLogo->Show();
    ASSERT_TRUE(FmLogo->Visible());
    auto clickAt = [](POINT p) {
        LPARAM at = MAKELPARAM(p.x, p.y);
        SendMessageW(FmLogo->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(FmLogo->Handle(), WM_LBUTTONUP, 0, at);
        PumpFor(std::chrono::milliseconds(20));
    };
    auto middleOf = [](TControl* c) {
        return POINT{c->Left() + c->Width() / 2, c->Top() + c->Height() / 2};
    };
    for (TControl* label :
         {static_cast<TControl*>(FmLogo->Label2), static_cast<TControl*>(FmLogo->Label1),
          static_cast<TControl*>(FmLogo->Label)}) {
        clickAt(middleOf(label));
        EXPECT_TRUE(FmLogo->Visible()) << "a click on a label closed the window";
    }
    // Bottom-left: picture only.
    clickAt(POINT{20, 75});
    EXPECT_FALSE(FmLogo->Visible());
    // Hidden, not destroyed: it can be shown again.
    EXPECT_TRUE(IsWindow(FmLogo->Handle()));
}

} // namespace
