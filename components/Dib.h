// A device-independent bitmap held in memory: the pixel store under the component
// library's bitmap class, filled by the BMP decoder. Pure code (no <windows.h>), laid
// out like a Windows DIB so that the bitmap class can hand it to the window system
// as it stands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class TPixelFormat {
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit,
    pfCustom
};

// One colour-table entry, in the byte order of the window system's colour tables.
struct TRgbQuad {
    std::uint8_t Blue = 0;
    std::uint8_t Green = 0;
    std::uint8_t Red = 0;
    std::uint8_t Reserved = 0;

    bool operator==(const TRgbQuad&) const = default;
};

struct TDib {
    int Width = 0;
    int Height = 0;
    // 1, 4 or 8: indexed (a palette index per pixel, first pixel in the high bits);
    // 16 or 32: direct, a little-endian word per pixel read through the masks;
    // 24: direct, blue, green, red per pixel. 0 while the bitmap holds nothing.
    int BitCount = 0;
    // Direct formats of 16 and 32 bits only: where each channel lies in the pixel
    // word. Always filled in, with 5-5-5 (16 bits) or 8-8-8 (32 bits) when the file
    // gave none; 0 for the other formats.
    std::uint32_t RedMask = 0;
    std::uint32_t GreenMask = 0;
    std::uint32_t BlueMask = 0;
    // Indexed formats only, and as long as the file's colour table, which may be
    // shorter than 2^BitCount. The decoder rejects a file that uses an index past
    // the end; ToRgb shows such an index as black.
    std::vector<TRgbQuad> Palette;
    // Height rows of Stride() bytes, row 0 being the top row as the picture is shown
    // whatever the file's row order. Bits past the last pixel of a row are zero.
    std::vector<std::uint8_t> Bits;

    // Bytes per row: Width * BitCount bits rounded up to whole 32-bit words.
    std::size_t Stride() const;
    // The bytes of a row, row 0 at the top. A row outside [0, Height) raises
    // EInvalidGraphic: an empty bitmap has no row at all.
    std::uint8_t* ScanLine(int row);
    const std::uint8_t* ScanLine(int row) const;
    // 16 bits: 5-5-5 -> pf15bit, 5-6-5 -> pf16bit; 32 bits: 8-8-8 in the low three
    // bytes -> pf32bit; any other masks -> pfCustom. No bit count -> pfDevice.
    TPixelFormat PixelFormat() const;
    bool Empty() const { return Width <= 0 || Height <= 0; }
};

// Turns a direct bitmap of 16 or 32 bits (any masks) into a 24-bit one of the same
// colours, in place; a fourth byte per pixel is dropped. A channel narrower than 8
// bits is widened by repeating its bits (5 bits v give v << 3 | v >> 2), so full
// intensity stays full; a wider one keeps its top 8 bits. 24-bit and indexed bitmaps
// are left as they are (indexed ones keep their indices and palette on purpose).
void ConvertToRgb24(TDib& dib);

// Red, green, blue bytes per pixel, rows from the top, no padding: the colours as
// shown. Channels are widened as in ConvertToRgb24.
std::vector<std::uint8_t> ToRgb(const TDib& dib);
