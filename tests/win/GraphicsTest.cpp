// The bitmap and the picture loader on the real window system: the loader's errors,
// what a failed load leaves, drawing, and pixel-format conversion.
#include "PictureTestSupport.h"
#include "WinTestSupport.h"
#include "components/Graphics.h"
#include "components/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A scratch folder beside the test program, removed again with its files.
class TScratchFolder {
public:
    TScratchFolder() {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        Folder = std::string(path);
        Folder = Folder.substr(0, Folder.find_last_of('\\') + 1) + "graphics-scratch";
        CreateDirectoryA(Folder.c_str(), nullptr);
    }
    ~TScratchFolder() {
        for (const std::string& file : Files)
            RemoveFile(file);
        for (auto it = Folders.rbegin(); it != Folders.rend(); ++it)
            RemoveDirectoryA(it->c_str());
        RemoveDirectoryA(Folder.c_str());
    }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    std::string File(const std::string& name, const std::string& bytes) {
        const std::string path = Folder + "\\" + name;
        WriteFileBytes(path, bytes);
        Files.push_back(path);
        return path;
    }
    std::string SubFolder(const std::string& name) {
        const std::string path = Folder + "\\" + name;
        CreateDirectoryA(path.c_str(), nullptr);
        Folders.push_back(path);
        return path;
    }
    std::string Missing(const std::string& name) const { return Folder + "\\" + name; }

private:
    std::string Folder;
    std::vector<std::string> Files;
    std::vector<std::string> Folders;
};

bool SameDib(const TDib& a, const TDib& b) {
    return a.Width == b.Width && a.Height == b.Height && a.BitCount == b.BitCount &&
           a.RedMask == b.RedMask && a.GreenMask == b.GreenMask && a.BlueMask == b.BlueMask &&
           a.Palette == b.Palette && a.Bits == b.Bits;
}

std::wstring Wide(const std::string& ansi) {
    return std::wstring(ansi.begin(), ansi.end()); // the paths here are ASCII
}

} // namespace

TEST(PictureLoader, FailuresRaiseTheLoadersTextAndLeaveThePictureAsItWas) {
    TScratchFolder scratch;
    const std::string pal8 = ReadFileBytes(SuiteFile("g/pal8.bmp"));
    const std::string directory = scratch.SubFolder("folder.bmp");
    const std::string missing = scratch.Missing("missing.bmp");
    const std::string broken = SuiteFile("b/badrle.bmp");
    const std::string shortFile = SuiteFile("b/shortfile.bmp");
    const std::string empty = scratch.File("empty.bmp", "");
    const std::string pngNamed = scratch.File("picture.png", pal8);
    const std::string upperPng = scratch.File("PICTURE.PNG", pal8);
    const std::string noExtension = scratch.File("picture", pal8);
    const std::string dottedFolder = scratch.SubFolder("v1.bmp") + "\\picture";
    struct TCase {
        std::string Path;
        std::wstring Message;
        bool InvalidGraphic; // EInvalidGraphic rather than a plain Exception
    };
    const std::vector<TCase> cases = {
        {pngNamed, L"拡張子 .png の画像形式は処理できません", true},
        {upperPng, L"拡張子 .PNG の画像形式は処理できません", true},
        {noExtension, L"拡張子 . の画像形式は処理できません", true},
        // The dot of a folder name is no extension of the file.
        {dottedFolder, L"拡張子 . の画像形式は処理できません", true},
        {missing, L"ファイル " + Wide(missing) + L" は開けません", false},
        {directory, L"ファイル " + Wide(directory) + L" は開けません", false},
        {broken, L"ビットマップイメージが不正です", true},
        {shortFile, L"ビットマップイメージが不正です", true},
        {empty, L"ビットマップイメージが不正です", true},
    };

    TPicture picture;
    picture.LoadFromResource(L"BUILTIN");
    const TDib before = picture.Bitmap().Dib();
    int changes = 0;
    picture.OnChange = [&] { ++changes; };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Path);
        try {
            picture.LoadFromFile(c.Path);
            ADD_FAILURE() << "loaded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_TRUE(c.InvalidGraphic);
            EXPECT_EQ(e.Message, c.Message);
        } catch (const Exception& e) {
            EXPECT_FALSE(c.InvalidGraphic);
            EXPECT_EQ(e.Message, c.Message);
        }
        EXPECT_TRUE(SameDib(picture.Bitmap().Dib(), before));
    }
    EXPECT_EQ(changes, 0);
}

TEST(PictureLoader, RegisteredExtensionsInAnyCaseLoadAndNotifyOnce) {
    TScratchFolder scratch;
    const std::string pal8 = ReadFileBytes(SuiteFile("g/pal8.bmp"));
    for (const char* name : {"upper.BMP", "mixed.Bmp", "device.dib", "DEVICE2.DIB"}) {
        SCOPED_TRACE(name);
        const std::string path = scratch.File(name, pal8);
        TPicture picture;
        int changes = 0;
        picture.OnChange = [&] { ++changes; };
        picture.LoadFromFile(path);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(picture.Width(), 127);
        EXPECT_EQ(picture.Height(), 64);
        EXPECT_EQ(picture.Bitmap().PixelFormat(), TPixelFormat::pf8bit);
    }
}

TEST(PictureLoader, ResourcesHoldTheBuiltInPlateAndTheLogo) {
    TPicture picture;
    picture.LoadFromResource(L"BUILTIN");
    ASSERT_EQ(picture.Width(), 90);
    ASSERT_EQ(picture.Height(), 30);
    ASSERT_EQ(picture.Bitmap().PixelFormat(), TPixelFormat::pf24bit);
    const std::uint8_t* topLeft = picture.Bitmap().ScanLine(0);
    EXPECT_EQ(topLeft[0], 0x63); // blue
    EXPECT_EQ(topLeft[1], 0x5F); // green
    EXPECT_EQ(topLeft[2], 0x5E); // red

    picture.LoadFromResource(L"LOGO");
    EXPECT_EQ(picture.Width(), 265);
    EXPECT_EQ(picture.Height(), 85);

    try {
        picture.LoadFromResource(L"NOSUCHPICTURE");
        ADD_FAILURE() << "loaded";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, L"リソース NOSUCHPICTURE が見つかりません");
    }
    EXPECT_EQ(picture.Width(), 265);
}

TEST(Bitmap, ScanLineOutsideTheRowsRaises) {
    TBitmap bitmap;
    for (int row : {0, -1}) {
        try {
            bitmap.ScanLine(row);
            ADD_FAILURE() << "row " << row;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message, L"スキャンライン のインデックスが範囲を越えました");
        }
    }
    TPicture picture;
    picture.LoadFromResource(L"BUILTIN");
    EXPECT_NO_THROW(picture.Bitmap().ScanLine(29));
    EXPECT_THROW(picture.Bitmap().ScanLine(30), Exception);
}

// Every picture drawn unscaled at an offset shows exactly the colours the decoder
// read, whatever its bit depth, compression, row order or channel layout, and draws
// nothing outside its rectangle.
TEST(Bitmap, DrawShowsTheDecodedColoursUnscaled) {
    for (const char* file : {"g/pal1.bmp", "g/pal4.bmp", "g/pal4rle.bmp", "g/pal8.bmp",
                             "g/pal8rle.bmp", "g/pal8topdown.bmp", "g/pal8os2.bmp", "g/rgb16.bmp",
                             "g/rgb16-565.bmp", "g/rgb24.bmp", "g/rgb32.bmp", "g/rgb32bf.bmp"}) {
        SCOPED_TRACE(file);
        TBitmap bitmap;
        bitmap.Assign(LoadSuiteDib(file));
        const std::vector<std::uint8_t> expected = ToRgb(bitmap.Dib());
        constexpr int ox = 3, oy = 2;
        TCanvas canvas(bitmap.Width() + 6, bitmap.Height() + 4, RGB(1, 2, 3));
        bitmap.Draw(canvas.Dc(), ox, oy);
        int wrong = 0;
        for (int y = 0; y < canvas.Height; ++y) {
            for (int x = 0; x < canvas.Width; ++x) {
                const bool inside =
                    x >= ox && y >= oy && x < ox + bitmap.Width() && y < oy + bitmap.Height();
                const auto want = inside ? RgbAt(expected, bitmap.Width(), x - ox, y - oy)
                                         : std::array<std::uint8_t, 3>{1, 2, 3};
                if (canvas.Rgb(x, y) != want && wrong++ < 3)
                    ADD_FAILURE() << "pixel " << x << "," << y;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// Conversions the bitmap offers besides the shape's normalisation: to 32 bits and
// back to 5-5-5 and 5-6-5 words, exact for pictures that came in those words.
TEST(Bitmap, SetPixelFormatRoundTripsDirectFormats) {
    struct TCase {
        const char* File;
        TPixelFormat Format;
    };
    for (const TCase& c : {TCase{"g/rgb16.bmp", TPixelFormat::pf15bit},
                           TCase{"g/rgb16-565.bmp", TPixelFormat::pf16bit},
                           TCase{"g/rgb32.bmp", TPixelFormat::pf32bit}}) {
        SCOPED_TRACE(c.File);
        TBitmap bitmap;
        bitmap.Assign(LoadSuiteDib(c.File));
        ASSERT_EQ(bitmap.PixelFormat(), c.Format);
        const TDib original = bitmap.Dib();
        bitmap.SetPixelFormat(TPixelFormat::pf24bit);
        EXPECT_EQ(ToRgb(bitmap.Dib()), ToRgb(original));
        bitmap.SetPixelFormat(TPixelFormat::pf32bit);
        EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf32bit);
        EXPECT_EQ(ToRgb(bitmap.Dib()), ToRgb(original));
        bitmap.SetPixelFormat(c.Format);
        EXPECT_EQ(bitmap.PixelFormat(), c.Format);
        EXPECT_EQ(ToRgb(bitmap.Dib()), ToRgb(original));
    }
}

TEST(Bitmap, AssignRejectsPixelsThatDoNotCoverTheRows) {
    TBitmap bitmap;
    TDib shortDib;
    shortDib.Width = 4;
    shortDib.Height = 4;
    shortDib.BitCount = 24;
    shortDib.Bits.resize(shortDib.Stride() * 3);
    EXPECT_THROW(bitmap.Assign(shortDib), EInvalidGraphic);
    EXPECT_TRUE(bitmap.Empty());
}
