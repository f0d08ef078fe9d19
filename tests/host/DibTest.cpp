#include "components/Dib.h"
#include "components/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using TBytes = std::vector<std::uint8_t>;

TDib Direct(int bitCount, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    TDib dib;
    dib.Width = 1;
    dib.Height = 1;
    dib.BitCount = bitCount;
    dib.RedMask = red;
    dib.GreenMask = green;
    dib.BlueMask = blue;
    dib.Bits.assign(dib.Stride(), 0);
    return dib;
}

TEST(Dib, PixelFormatFollowsBitCountAndMasks) {
    struct TCase {
        TDib Dib;
        TPixelFormat Expected;
    };
    const std::vector<TCase> cases = {
        {Direct(0, 0, 0, 0), TPixelFormat::pfDevice},
        {Direct(1, 0, 0, 0), TPixelFormat::pf1bit},
        {Direct(4, 0, 0, 0), TPixelFormat::pf4bit},
        {Direct(8, 0, 0, 0), TPixelFormat::pf8bit},
        {Direct(16, 0x7C00, 0x03E0, 0x001F), TPixelFormat::pf15bit},
        {Direct(16, 0xF800, 0x07E0, 0x001F), TPixelFormat::pf16bit},
        {Direct(16, 0x001F, 0x03E0, 0x7C00), TPixelFormat::pfCustom},
        {Direct(16, 0x0F00, 0x00F0, 0x000F), TPixelFormat::pfCustom},
        {Direct(24, 0, 0, 0), TPixelFormat::pf24bit},
        {Direct(32, 0xFF0000, 0x00FF00, 0x0000FF), TPixelFormat::pf32bit},
        {Direct(32, 0xFF000000, 0x00FF0000, 0x0000FF00), TPixelFormat::pfCustom},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(c.Dib.PixelFormat(), c.Expected) << "bit count " << c.Dib.BitCount;
}

TEST(Dib, RowsArePaddedToWholeWordsAndCheckedByNumber) {
    TDib dib;
    dib.Width = 5;
    dib.Height = 2;
    const std::vector<std::pair<int, std::size_t>> strides = {
        {1, 4}, {4, 4}, {8, 8}, {16, 12}, {24, 16}};
    for (auto [bitCount, stride] : strides) {
        dib.BitCount = bitCount;
        EXPECT_EQ(dib.Stride(), stride) << bitCount;
    }
    dib.Bits.assign(dib.Stride() * 2, 0);
    EXPECT_EQ(dib.ScanLine(1), dib.Bits.data() + 16);
    for (int row : {-1, 2}) {
        try {
            dib.ScanLine(row);
            ADD_FAILURE() << "row " << row << " was accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message, L"スキャンライン のインデックスが範囲を越えました");
        }
    }
    const TDib empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_THROW(empty.ScanLine(0), EInvalidGraphic);
}

// Narrow channels widen by repeating their bits (full stays full), wide ones keep
// their top 8 bits; the result is the same through ToRgb and through ConvertToRgb24.
TEST(Dib, DirectChannelsWidenToEightBits) {
    struct TCase {
        TDib Dib;
        std::uint32_t Pixel;
        TBytes Rgb;
    };
    const std::vector<TCase> cases = {
        {Direct(16, 0x7C00, 0x03E0, 0x001F), 0x7FFF, {255, 255, 255}},
        {Direct(16, 0x7C00, 0x03E0, 0x001F), 0x0421, {8, 8, 8}},
        {Direct(16, 0x7C00, 0x03E0, 0x001F), 0x4210, {132, 132, 132}},
        {Direct(16, 0xF800, 0x07E0, 0x001F), 0x0820, {8, 4, 0}},
        {Direct(16, 0xF800, 0x07E0, 0x001F), 0x0400, {0, 130, 0}},
        {Direct(16, 0x0030, 0x000E, 0x0001), 0x002B, {170, 182, 255}}, // 2, 3, 1 bits
        {Direct(16, 0x0F00, 0x00F0, 0x000F), 0xF1F0, {17, 255, 0}},    // top 4 bits ignored
        {Direct(32, 0xFF0000, 0x00FF00, 0x0000FF), 0xAA123456, {0x12, 0x34, 0x56}},
        {Direct(32, 0x000000FF, 0x0000FF00, 0x00FF0000), 0x00123456, {0x56, 0x34, 0x12}},
        {Direct(32, 0x3FF00000, 0x000FFC00, 0x000003FF), 0x3FF80000, {255, 128, 0}},
    };
    for (const TCase& c : cases) {
        TDib dib = c.Dib;
        for (int i = 0; i < dib.BitCount / 8; ++i)
            dib.Bits[i] = static_cast<std::uint8_t>(c.Pixel >> (8 * i));
        SCOPED_TRACE(::testing::Message()
                     << std::hex << "pixel 0x" << c.Pixel << " masks 0x" << dib.RedMask << " 0x"
                     << dib.GreenMask << " 0x" << dib.BlueMask);
        EXPECT_EQ(ToRgb(dib), c.Rgb);
        ConvertToRgb24(dib);
        EXPECT_EQ(dib.BitCount, 24);
        EXPECT_EQ(dib.RedMask | dib.GreenMask | dib.BlueMask, 0u);
        EXPECT_EQ(dib.Bits, (TBytes{c.Rgb[2], c.Rgb[1], c.Rgb[0], 0}));
    }
}

TEST(Dib, ConvertToRgb24LeavesIndexedAndTwentyFourBitPicturesAlone) {
    TDib indexed;
    indexed.Width = 2;
    indexed.Height = 1;
    indexed.BitCount = 8;
    indexed.Palette = {{1, 2, 3, 0}, {1, 2, 3, 0}};
    indexed.Bits = {1, 0, 0, 0};
    TDib rgb24 = indexed;
    rgb24.BitCount = 24;
    rgb24.Palette.clear();
    rgb24.Bits = {1, 2, 3, 4, 5, 6, 0, 0};
    for (const TDib& before : {indexed, rgb24}) {
        TDib after = before;
        ConvertToRgb24(after);
        EXPECT_EQ(after.BitCount, before.BitCount);
        EXPECT_EQ(after.Palette, before.Palette);
        EXPECT_EQ(after.Bits, before.Bits);
    }
}

TEST(Dib, ToRgbShowsIndicesPastThePaletteAsBlack) {
    TDib dib;
    dib.Width = 3;
    dib.Height = 1;
    dib.BitCount = 4;
    dib.Palette = {{10, 20, 30, 0}};
    dib.Bits = {0x01, 0x00, 0, 0};
    EXPECT_EQ(ToRgb(dib), (TBytes{30, 20, 10, 0, 0, 0, 30, 20, 10}));
}

TEST(Dib, BytesShorterThanTheRowsAreRejected) {
    TDib dib = Direct(32, 0xFF0000, 0x00FF00, 0x0000FF);
    dib.Height = 2;
    EXPECT_THROW(ToRgb(dib), EInvalidGraphic);
    EXPECT_THROW(ConvertToRgb24(dib), EInvalidGraphic);
}

} // namespace
