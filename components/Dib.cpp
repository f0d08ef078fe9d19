#include "components/Dib.h"

#include "components/SysUtils.h"

#include <array>
#include <bit>
#include <cstring>

namespace {

[[noreturn]] void ThrowScanLineOutOfRange() {
    throw EInvalidGraphic(L"スキャンライン のインデックスが範囲を越えました");
}

[[noreturn]] void ThrowInvalidBitmap() {
    throw EInvalidGraphic(L"ビットマップイメージが不正です");
}

// A bitmap whose bytes do not cover its rows cannot be read safely: every reader
// below checks this first instead of trusting whoever filled the fields.
void CheckLayout(const TDib& dib) {
    switch (dib.BitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        ThrowInvalidBitmap();
    }
    if (dib.Bits.size() / dib.Stride() < static_cast<std::size_t>(dib.Height))
        ThrowInvalidBitmap();
}

// One colour channel of a 16- or 32-bit pixel word, widened to 8 bits.
class TChannel {
public:
    explicit TChannel(std::uint32_t mask) : Mask(mask) {
        if (mask == 0)
            return;
        Shift = std::countr_zero(mask);
        Bits = std::bit_width(mask) - Shift;
        if (Bits > 8)
            return;
        // Repeating the bits down to the lowest one maps the largest value to 255
        // and 0 to 0, with even steps in between.
        for (std::uint32_t v = 0; v < (1u << Bits); ++v) {
            std::uint32_t wide = v << (8 - Bits);
            for (int s = Bits; s < 8; s *= 2)
                wide |= wide >> s;
            Table[v] = static_cast<std::uint8_t>(wide);
        }
    }

    std::uint8_t operator()(std::uint32_t pixel) const {
        const std::uint32_t v = (pixel & Mask) >> Shift;
        return Bits <= 8 ? Table[v] : static_cast<std::uint8_t>(v >> (Bits - 8));
    }

private:
    std::uint32_t Mask;
    int Shift = 0;
    int Bits = 0;
    std::array<std::uint8_t, 256> Table{};
};

std::uint32_t PixelWord(const std::uint8_t* row, int x, int bitCount) {
    if (bitCount == 16) {
        const std::uint8_t* p = row + 2 * static_cast<std::size_t>(x);
        return p[0] | static_cast<std::uint32_t>(p[1]) << 8;
    }
    const std::uint8_t* p = row + 4 * static_cast<std::size_t>(x);
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
}

unsigned PaletteIndex(const std::uint8_t* row, int x, int bitCount) {
    switch (bitCount) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
        return (x & 1) ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4;
    default:
        return row[x];
    }
}

} // namespace

std::size_t TDib::Stride() const {
    if (Width <= 0 || BitCount <= 0)
        return 0;
    return (static_cast<std::size_t>(Width) * static_cast<std::size_t>(BitCount) + 31) / 32 * 4;
}

std::uint8_t* TDib::ScanLine(int row) {
    if (row < 0 || row >= Height || Bits.empty())
        ThrowScanLineOutOfRange();
    return Bits.data() + static_cast<std::size_t>(row) * Stride();
}

const std::uint8_t* TDib::ScanLine(int row) const {
    if (row < 0 || row >= Height || Bits.empty())
        ThrowScanLineOutOfRange();
    return Bits.data() + static_cast<std::size_t>(row) * Stride();
}

TPixelFormat TDib::PixelFormat() const {
    switch (BitCount) {
    case 0:
        return TPixelFormat::pfDevice;
    case 1:
        return TPixelFormat::pf1bit;
    case 4:
        return TPixelFormat::pf4bit;
    case 8:
        return TPixelFormat::pf8bit;
    case 24:
        return TPixelFormat::pf24bit;
    case 16:
        if (RedMask == 0x7C00 && GreenMask == 0x03E0 && BlueMask == 0x001F)
            return TPixelFormat::pf15bit;
        if (RedMask == 0xF800 && GreenMask == 0x07E0 && BlueMask == 0x001F)
            return TPixelFormat::pf16bit;
        return TPixelFormat::pfCustom;
    case 32:
        if (RedMask == 0xFF0000 && GreenMask == 0x00FF00 && BlueMask == 0x0000FF)
            return TPixelFormat::pf32bit;
        return TPixelFormat::pfCustom;
    default:
        return TPixelFormat::pfCustom;
    }
}

void ConvertToRgb24(TDib& dib) {
    if (dib.BitCount != 16 && dib.BitCount != 32)
        return;
    TDib out;
    out.Width = dib.Width;
    out.Height = dib.Height;
    out.BitCount = 24;
    if (dib.Empty()) {
        dib = std::move(out);
        return;
    }
    CheckLayout(dib);

    out.Bits.resize(out.Stride() * static_cast<std::size_t>(dib.Height));
    const bool plain32 = dib.PixelFormat() == TPixelFormat::pf32bit;
    const TChannel red(dib.RedMask), green(dib.GreenMask), blue(dib.BlueMask);
    for (int y = 0; y < dib.Height; ++y) {
        const std::uint8_t* src = dib.ScanLine(y);
        std::uint8_t* dst = out.ScanLine(y);
        if (plain32) {
            // Blue, green and red already lie in the first three bytes.
            for (int x = 0; x < dib.Width; ++x, src += 4, dst += 3)
                std::memcpy(dst, src, 3);
            continue;
        }
        for (int x = 0; x < dib.Width; ++x, dst += 3) {
            const std::uint32_t pixel = PixelWord(src, x, dib.BitCount);
            dst[0] = blue(pixel);
            dst[1] = green(pixel);
            dst[2] = red(pixel);
        }
    }
    dib = std::move(out);
}

std::vector<std::uint8_t> ToRgb(const TDib& dib) {
    if (dib.Empty())
        return {};
    CheckLayout(dib);

    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(dib.Width) *
                                  static_cast<std::size_t>(dib.Height) * 3);
    std::uint8_t* dst = rgb.data();
    const TChannel red(dib.RedMask), green(dib.GreenMask), blue(dib.BlueMask);
    for (int y = 0; y < dib.Height; ++y) {
        const std::uint8_t* src = dib.ScanLine(y);
        for (int x = 0; x < dib.Width; ++x, dst += 3) {
            switch (dib.BitCount) {
            case 24:
                dst[0] = src[3 * x + 2];
                dst[1] = src[3 * x + 1];
                dst[2] = src[3 * x];
                break;
            case 16:
            case 32: {
                const std::uint32_t pixel = PixelWord(src, x, dib.BitCount);
                dst[0] = red(pixel);
                dst[1] = green(pixel);
                dst[2] = blue(pixel);
                break;
            }
            default: {
                const unsigned index = PaletteIndex(src, x, dib.BitCount);
                const TRgbQuad colour =
                    index < dib.Palette.size() ? dib.Palette[index] : TRgbQuad{};
                dst[0] = colour.Red;
                dst[1] = colour.Green;
                dst[2] = colour.Blue;
                break;
            }
            }
        }
    }
    return rgb;
}
