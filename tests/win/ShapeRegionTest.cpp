// The character window's region from its picture, on the real window system.
#include "PictureTestSupport.h"
#include "components/Graphics.h"
#include "components/SysUtils.h"
#include "forms/ShapeRegion.h"
#include "forms/ShapeRuns.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

bool SameDib(const TDib& a, const TDib& b) {
    return a.Width == b.Width && a.Height == b.Height && a.BitCount == b.BitCount &&
           a.RedMask == b.RedMask && a.GreenMask == b.GreenMask && a.BlueMask == b.BlueMask &&
           a.Palette == b.Palette && a.Bits == b.Bits;
}

TDib Direct(int width, int height, const std::function<COLORREF(int, int)>& colorOf) {
    TDib dib;
    dib.Width = width;
    dib.Height = height;
    dib.BitCount = 24;
    dib.Bits.resize(dib.Stride() * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colorOf(x, y);
            std::uint8_t* p = dib.ScanLine(y) + 3 * x;
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    return dib;
}

TDib BuiltinDib() {
    TPicture picture;
    picture.LoadFromResource(L"BUILTIN");
    return picture.Bitmap().Dib();
}

std::vector<PALETTEENTRY> HalftonePalette() {
    TMemoryDc dc(CreateCompatibleDC(nullptr));
    TPaletteHandle palette(CreateHalftonePalette(dc.Get()));
    std::vector<PALETTEENTRY> entries(GetPaletteEntries(palette.Get(), 0, 0, nullptr));
    GetPaletteEntries(palette.Get(), 0, static_cast<UINT>(entries.size()), entries.data());
    return entries;
}

} // namespace

// What the shape does to the picture's format, and that it does it only once.
TEST(MakeShapeRegion, NormalisesThePixelFormatInPlaceOnce) {
    const std::vector<PALETTEENTRY> halftone = HalftonePalette();
    ASSERT_FALSE(halftone.empty());
    TMemoryDc dc(CreateCompatibleDC(nullptr));
    TPaletteHandle halftoneHandle(CreateHalftonePalette(dc.Get()));

    enum class TWay { Halftone, SameColours, Untouched };
    struct TCase {
        const char* File;
        TPixelFormat Before;
        TPixelFormat After;
        TWay Way;
    };
    const std::vector<TCase> cases = {
        {"g/pal1.bmp", TPixelFormat::pf1bit, TPixelFormat::pf8bit, TWay::Halftone},
        {"g/pal4.bmp", TPixelFormat::pf4bit, TPixelFormat::pf8bit, TWay::Halftone},
        {"g/pal4rle.bmp", TPixelFormat::pf4bit, TPixelFormat::pf8bit, TWay::Halftone},
        {"g/pal8.bmp", TPixelFormat::pf8bit, TPixelFormat::pf8bit, TWay::Untouched},
        {"g/rgb24.bmp", TPixelFormat::pf24bit, TPixelFormat::pf24bit, TWay::Untouched},
        {"g/rgb16.bmp", TPixelFormat::pf15bit, TPixelFormat::pf24bit, TWay::SameColours},
        {"g/rgb16-565.bmp", TPixelFormat::pf16bit, TPixelFormat::pf24bit, TWay::SameColours},
        {"g/rgb32.bmp", TPixelFormat::pf32bit, TPixelFormat::pf24bit, TWay::SameColours},
        {"g/rgb32bf.bmp", TPixelFormat::pfCustom, TPixelFormat::pf24bit, TWay::SameColours},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        TBitmap bitmap;
        bitmap.Assign(LoadSuiteDib(c.File));
        ASSERT_EQ(bitmap.PixelFormat(), c.Before);
        const TDib original = bitmap.Dib();
        int changes = 0;
        bitmap.OnChange = [&] { ++changes; };

        TRegionHandle first(MakeShapeRegion(bitmap));
        EXPECT_EQ(bitmap.PixelFormat(), c.After);
        EXPECT_EQ(changes, c.Way == TWay::Untouched ? 0 : 1);
        const std::vector<std::uint8_t> before = ToRgb(original);
        const std::vector<std::uint8_t> after = ToRgb(bitmap.Dib());
        switch (c.Way) {
        case TWay::Untouched:
            EXPECT_TRUE(SameDib(bitmap.Dib(), original));
            break;
        case TWay::SameColours:
            EXPECT_EQ(after, before);
            break;
        case TWay::Halftone: {
            ASSERT_EQ(bitmap.Dib().Palette.size(), halftone.size());
            for (std::size_t i = 0; i < halftone.size(); ++i) {
                const TRgbQuad& q = bitmap.Dib().Palette[i];
                EXPECT_TRUE(q.Red == halftone[i].peRed && q.Green == halftone[i].peGreen &&
                            q.Blue == halftone[i].peBlue)
                    << "palette entry " << i;
            }
            // Every pixel shows the halftone colour the window system finds nearest
            // to the one it had.
            int wrong = 0;
            for (int y = 0; y < original.Height; ++y)
                for (int x = 0; x < original.Width; ++x) {
                    const auto was = RgbAt(before, original.Width, x, y);
                    const UINT nearest =
                        GetNearestPaletteIndex(halftoneHandle.Get(), RGB(was[0], was[1], was[2]));
                    const PALETTEENTRY& e = halftone[nearest];
                    const std::array<std::uint8_t, 3> want{e.peRed, e.peGreen, e.peBlue};
                    if (RgbAt(after, original.Width, x, y) != want && wrong++ < 3)
                        ADD_FAILURE() << "pixel " << x << "," << y;
                }
            EXPECT_EQ(wrong, 0);
            break;
        }
        }

        // A second call finds the format normalised: nothing converts, the region is
        // the same.
        const TDib normalised = bitmap.Dib();
        TRegionHandle second(MakeShapeRegion(bitmap));
        EXPECT_TRUE(SameDib(bitmap.Dib(), normalised));
        EXPECT_EQ(changes, c.Way == TWay::Untouched ? 0 : 1);
        ASSERT_EQ(static_cast<bool>(first), static_cast<bool>(second));
        if (first) {
            EXPECT_TRUE(EqualRgn(first.Get(), second.Get()));
        }
    }
}

// The region is exactly the union of the runs' one-pixel-high rectangles, as the
// run-by-run way makes it, for shapes of every kind: few and many runs per row, rows
// repeated and not, runs that end at the right edge.
TEST(MakeShapeRegion, EqualsTheUnionOfTheRunsRectangles) {
    struct TCase {
        std::string Label;
        std::function<TDib()> Make;
    };
    const std::vector<TCase> cases = {
        {"built-in", BuiltinDib},
        {"g/pal1.bmp", [] { return LoadSuiteDib("g/pal1.bmp"); }},
        {"g/pal4rle.bmp", [] { return LoadSuiteDib("g/pal4rle.bmp"); }},
        {"g/pal8.bmp", [] { return LoadSuiteDib("g/pal8.bmp"); }},
        {"g/pal8topdown.bmp", [] { return LoadSuiteDib("g/pal8topdown.bmp"); }},
        {"g/rgb16-565.bmp", [] { return LoadSuiteDib("g/rgb16-565.bmp"); }},
        {"g/rgb24.bmp", [] { return LoadSuiteDib("g/rgb24.bmp"); }},
        {"blocks with repeated rows and a hole",
         [] {
             return Direct(40, 30, [](int x, int y) {
                 const bool hole = x >= 15 && x < 20 && y >= 10 && y < 14;
                 return (x >= 5 && y >= 3 && y < 25 && !hole) || (y >= 27 && x >= 30)
                            ? RGB(9, 9, 9)
                            : RGB(0, 0, 0);
             });
         }},
        {"equal bars with empty rows between them",
         [] {
             return Direct(30, 12, [](int x, int y) {
                 return y % 3 != 2 && x >= 2 && x != 20 ? RGB(9, 9, 9) : RGB(0, 0, 0);
             });
         }},
        {"diagonal stripes, many runs per row, ending at the right edge",
         [] {
             return Direct(203, 77, [](int x, int y) {
                 return ((x + y) / 3) % 2 ? RGB(200, 10, 10) : RGB(0, 0, 0);
             });
         }},
        {"speckle",
         [] {
             unsigned state = 12345;
             return Direct(150, 90, [&](int x, int y) {
                 state = state * 1103515245u + 12345u;
                 return (x == 0 && y == 0) || (state >> 16) % 3 == 0 ? RGB(0, 0, 0)
                                                                     : RGB(0, 0, (state >> 8) & 1);
             });
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        TBitmap bitmap;
        bitmap.Assign(c.Make());
        TRegionHandle region(MakeShapeRegion(bitmap));
        const std::vector<TShapeRun> runs = RunsOf(bitmap);
        ASSERT_FALSE(runs.empty());
        TRegionHandle expected = PerRunRegion(runs);
        ASSERT_TRUE(region);
        EXPECT_TRUE(EqualRgn(region.Get(), expected.Get()));
    }
}

TEST(MakeShapeRegion, BuiltInPictureIsAllButItsTwoKeyPixels) {
    TBitmap bitmap;
    bitmap.Assign(BuiltinDib());
    TRegionHandle region(MakeShapeRegion(bitmap));
    EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit);

    std::vector<TShapeRun> expectedRuns = {{0, 1, 90}, {1, 0, 45}, {1, 46, 90}};
    for (int y = 2; y < 30; ++y)
        expectedRuns.push_back({y, 0, 90});
    EXPECT_EQ(RunsOf(bitmap), expectedRuns);

    TRegionHandle expected(CreateRectRgn(0, 0, 90, 30));
    for (POINT key : {POINT{0, 0}, POINT{45, 1}}) {
        TRegionHandle pixel(CreateRectRgn(key.x, key.y, key.x + 1, key.y + 1));
        CombineRgn(expected.Get(), expected.Get(), pixel.Get(), RGN_DIFF);
    }
    ASSERT_TRUE(region);
    EXPECT_TRUE(EqualRgn(region.Get(), expected.Get()));
}

// In an 8-bit picture the key is an index: a second palette entry of the key's colour
// is foreground.
TEST(MakeShapeRegion, IndexedKeyComparesIndicesNotColours) {
    TDib dib;
    dib.Width = 6;
    dib.Height = 2;
    dib.BitCount = 8;
    dib.Palette = {{30, 20, 10, 0}, {0, 0, 200, 0}, {30, 20, 10, 0}};
    dib.Bits.resize(dib.Stride() * 2);
    const std::uint8_t rows[2][6] = {{0, 2, 2, 1, 0, 2}, {2, 0, 0, 0, 2, 2}};
    for (int y = 0; y < 2; ++y)
        std::copy(rows[y], rows[y] + 6, dib.ScanLine(y));
    TBitmap bitmap;
    bitmap.Assign(dib);

    TRegionHandle region(MakeShapeRegion(bitmap));
    ASSERT_TRUE(region);
    TRegionHandle expected(CreateRectRgn(1, 0, 4, 1));
    for (RECT r : {RECT{5, 0, 6, 1}, RECT{0, 1, 1, 2}, RECT{4, 1, 6, 2}}) {
        TRegionHandle part(CreateRectRgnIndirect(&r));
        CombineRgn(expected.Get(), expected.Get(), part.Get(), RGN_OR);
    }
    EXPECT_TRUE(EqualRgn(region.Get(), expected.Get()));
}

TEST(MakeShapeRegion, NoRunGivesNoRegion) {
    for (int side : {1, 7}) {
        SCOPED_TRACE(side);
        TBitmap bitmap;
        bitmap.Assign(Direct(side, side, [](int, int) { return RGB(0x5E, 0x5F, 0x63); }));
        EXPECT_EQ(MakeShapeRegion(bitmap), nullptr);
    }
}

TEST(MakeShapeRegion, EmptyBitmapRaisesScanLineOutOfRange) {
    TBitmap bitmap;
    try {
        HRGN region = MakeShapeRegion(bitmap);
        DeleteObject(region);
        ADD_FAILURE() << "made a region";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, L"スキャンライン のインデックスが範囲を越えました");
    }
    EXPECT_TRUE(bitmap.Empty());
}
