#include "components/BmpDecoder.h"

#include "components/SysUtils.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;

constexpr std::uint32_t CompressionNone = 0;
constexpr std::uint32_t CompressionRle8 = 1;
constexpr std::uint32_t CompressionRle4 = 2;
constexpr std::uint32_t CompressionBitFields = 3;

// Real devices stay far below this (a 9600 dpi scanner is about 378,000); a header
// above it has been damaged, so its other fields cannot be trusted either.
constexpr std::int64_t MaxPixelsPerMetre = 1000000;

[[noreturn]] void Invalid() {
    throw EInvalidGraphic(L"ビットマップイメージが不正です");
}

// Little-endian fields at absolute offsets; a field past the end is a cut file.
class TReader {
public:
    explicit TReader(std::span<const std::uint8_t> data) : Data(data) {}

    std::uint16_t U16(std::uint64_t at) const {
        Need(at, 2);
        return static_cast<std::uint16_t>(Data[at] | Data[at + 1] << 8);
    }
    std::uint32_t U32(std::uint64_t at) const {
        Need(at, 4);
        return Data[at] | static_cast<std::uint32_t>(Data[at + 1]) << 8 |
               static_cast<std::uint32_t>(Data[at + 2]) << 16 |
               static_cast<std::uint32_t>(Data[at + 3]) << 24;
    }
    std::int32_t I32(std::uint64_t at) const { return static_cast<std::int32_t>(U32(at)); }

    void Need(std::uint64_t at, std::uint64_t count) const {
        if (at > Data.size() || count > Data.size() - at)
            Invalid();
    }

private:
    std::span<const std::uint8_t> Data;
};

struct THeader {
    std::uint32_t Size = 0;
    std::int64_t Width = 0;
    std::int64_t Height = 0; // negative: rows stored top-down
    std::uint32_t Planes = 0;
    std::uint32_t BitCount = 0;
    std::uint32_t Compression = CompressionNone;
    std::uint32_t SizeImage = 0;
    std::uint32_t ColoursUsed = 0;
    std::uint32_t Masks[3] = {0, 0, 0};
    std::uint64_t PaletteStart = 0; // where the colour table begins
    std::uint32_t EntrySize = 4;    // bytes per colour-table entry
};

THeader ReadHeader(const TReader& in) {
    THeader h;
    h.Size = in.U32(FileHeaderSize);
    const std::uint64_t at = FileHeaderSize;
    if (h.Size == CoreHeaderSize) {
        in.Need(at, CoreHeaderSize);
        h.Width = in.U16(at + 4);
        h.Height = in.U16(at + 6);
        h.Planes = in.U16(at + 8);
        h.BitCount = in.U16(at + 10);
        h.EntrySize = 3;
        h.PaletteStart = at + CoreHeaderSize;
        return h;
    }
    switch (h.Size) {
    case InfoHeaderSize:
    case 52:  // with the three channel masks
    case 56:  // and an alpha mask
    case 108: // and colour-space fields
    case 124: // and rendering intent and profile
        break;
    default:
        Invalid();
    }
    in.Need(at, h.Size);
    h.Width = in.I32(at + 4);
    h.Height = in.I32(at + 8);
    h.Planes = in.U16(at + 12);
    h.BitCount = in.U16(at + 14);
    h.Compression = in.U32(at + 16);
    h.SizeImage = in.U32(at + 20);
    const std::int64_t xPerMetre = in.I32(at + 24);
    const std::int64_t yPerMetre = in.I32(at + 28);
    if (std::max(std::abs(xPerMetre), std::abs(yPerMetre)) > MaxPixelsPerMetre)
        Invalid();
    h.ColoursUsed = in.U32(at + 32);
    h.PaletteStart = at + h.Size;
    if (h.Compression == CompressionBitFields) {
        // A 40-byte header is followed by the masks; the longer ones hold them.
        const std::uint64_t masksAt = at + InfoHeaderSize;
        for (int i = 0; i < 3; ++i)
            h.Masks[i] = in.U32(masksAt + 4 * i);
        if (h.Size == InfoHeaderSize)
            h.PaletteStart += 12;
    }
    return h;
}

// Each channel one run of bits inside the pixel, none empty, no two sharing a bit:
// anything else has no meaning as a colour.
void CheckMasks(const std::uint32_t (&masks)[3], std::uint32_t bitCount) {
    const std::uint64_t pixelBits = (std::uint64_t{1} << bitCount) - 1;
    std::uint32_t seen = 0;
    for (std::uint32_t mask : masks) {
        if (mask == 0 || mask > pixelBits || (mask & seen) != 0)
            Invalid();
        const std::uint32_t shifted = mask >> std::countr_zero(mask);
        if ((shifted & (shifted + 1)) != 0)
            Invalid();
        seen |= mask;
    }
}

void CheckFormat(const THeader& h) {
    if (h.Planes != 1)
        Invalid();
    if (h.Width <= 0 || h.Width > MaxBmpSide || h.Height == 0 || h.Height > MaxBmpSide ||
        h.Height < -MaxBmpSide)
        Invalid();
    switch (h.Compression) {
    case CompressionNone:
        if (h.BitCount != 1 && h.BitCount != 4 && h.BitCount != 8 && h.BitCount != 24 &&
            (h.Size == CoreHeaderSize || (h.BitCount != 16 && h.BitCount != 32)))
            Invalid();
        break;
    case CompressionRle8:
    case CompressionRle4:
        // Run-length data is always stored bottom-up.
        if (h.BitCount != (h.Compression == CompressionRle8 ? 8u : 4u) || h.Height < 0)
            Invalid();
        break;
    case CompressionBitFields:
        if (h.BitCount != 16 && h.BitCount != 32)
            Invalid();
        CheckMasks(h.Masks, h.BitCount);
        break;
    default:
        Invalid();
    }
}

// The colour table as the file holds it. A count the header states must fit in the
// file (an absurd one marks a damaged header). Without a count (0, or a core header,
// which has no such field) the table is as long as the depth allows, or shorter when
// the pixel data begins sooner: that is how a core header gives a short table.
// Entries past 2^BitCount are never used; direct formats keep no table.
std::vector<TRgbQuad> ReadPalette(std::span<const std::uint8_t> file, const THeader& h,
                                  std::uint64_t bitsOffset) {
    if (h.ColoursUsed > (file.size() - h.PaletteStart) / h.EntrySize)
        Invalid();
    if (h.BitCount > 8)
        return {};
    const std::uint64_t full = std::uint64_t{1} << h.BitCount;
    const std::uint64_t declared = h.ColoursUsed != 0 ? h.ColoursUsed : full;
    const std::uint64_t room = (bitsOffset - h.PaletteStart) / h.EntrySize;
    const std::size_t count = static_cast<std::size_t>(std::min({declared, full, room}));
    std::vector<TRgbQuad> palette(count);
    const std::uint8_t* p = file.data() + h.PaletteStart;
    for (TRgbQuad& entry : palette) {
        entry.Blue = p[0];
        entry.Green = p[1];
        entry.Red = p[2];
        p += h.EntrySize;
    }
    return palette;
}

void CopyRows(const std::uint8_t* src, TDib& dib, bool topDown) {
    const std::size_t stride = dib.Stride();
    const std::size_t usedBits = static_cast<std::size_t>(dib.Width) * dib.BitCount;
    const std::size_t fullBytes = usedBits / 8;
    const unsigned restBits = usedBits % 8;
    const std::uint8_t keep = static_cast<std::uint8_t>(0xFF00u >> restBits);
    const std::size_t tailAt = fullBytes + (restBits != 0 ? 1 : 0);
    for (int y = 0; y < dib.Height; ++y) {
        const int fileRow = topDown ? y : dib.Height - 1 - y;
        std::uint8_t* dst = dib.Bits.data() + static_cast<std::size_t>(y) * stride;
        std::memcpy(dst, src + static_cast<std::size_t>(fileRow) * stride, stride);
        // Padding is whatever the writer left there; clear it so that equal pictures
        // hold equal bytes.
        if (restBits != 0)
            dst[fullBytes] &= keep;
        if (tailAt < stride)
            std::memset(dst + tailAt, 0, stride - tailAt);
    }
}

// Runs the run-length data once. Without a destination it only proves the data
// well formed, so that nothing is allocated for a stream that will be rejected.
void RunRle(std::span<const std::uint8_t> in, int width, int height, bool fourBit,
            std::uint8_t* bits, std::size_t stride) {
    std::size_t at = 0;
    int x = 0;
    int y = 0; // file row, counted from the bottom
    auto row = [&] { return bits + static_cast<std::size_t>(height - 1 - y) * stride; };
    auto put4 = [](std::uint8_t* r, int px, unsigned index) {
        std::uint8_t& b = r[px >> 1];
        b = (px & 1) ? static_cast<std::uint8_t>((b & 0xF0) | index)
                     : static_cast<std::uint8_t>((b & 0x0F) | index << 4);
    };
    for (;;) {
        if (y == height) {
            // Past the last row nothing may be drawn: only the end-of-bitmap mark,
            // or nothing at all, may follow.
            if (in.size() - at >= 2 && (in[at] != 0 || in[at + 1] != 1))
                Invalid();
            return;
        }
        if (in.size() - at < 2)
            Invalid(); // cut short: no end-of-bitmap mark before the last row
        const int count = in[at];
        const int code = in[at + 1];
        at += 2;
        if (count > 0) { // a run of one value (two alternating ones for 4 bits)
            if (count > width - x)
                Invalid();
            if (bits != nullptr) {
                if (fourBit) {
                    for (int i = 0; i < count; ++i)
                        put4(row(), x + i, (i & 1) ? code & 0x0F : code >> 4);
                } else {
                    std::memset(row() + x, code, static_cast<std::size_t>(count));
                }
            }
            x += count;
            continue;
        }
        switch (code) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return;
        case 2: { // move right and up, leaving the pixels passed over at index 0
            if (in.size() - at < 2)
                Invalid();
            x += in[at];
            y += in[at + 1];
            at += 2;
            if (x > width || y >= height)
                Invalid();
            break;
        }
        default: { // literal pixels, padded to a 16-bit boundary
            const int n = code;
            const std::size_t bytes = fourBit ? (static_cast<std::size_t>(n) + 1) / 2 : n;
            const std::size_t padded = bytes + (bytes & 1);
            if (in.size() - at < padded || n > width - x)
                Invalid();
            if (bits != nullptr) {
                if (fourBit) {
                    for (int i = 0; i < n; ++i) {
                        const std::uint8_t b = in[at + static_cast<std::size_t>(i / 2)];
                        put4(row(), x + i, (i & 1) ? b & 0x0F : b >> 4);
                    }
                } else {
                    std::memcpy(row() + x, in.data() + at, bytes);
                }
            }
            x += n;
            at += padded;
            break;
        }
        }
    }
}

// Indices past the colour table have no colour; such a file is rejected rather than
// shown with a guessed one. Only needed when the table is short.
void CheckIndices(const TDib& dib) {
    const std::size_t count = dib.Palette.size();
    if (count >= (std::size_t{1} << dib.BitCount))
        return;
    for (int y = 0; y < dib.Height; ++y) {
        const std::uint8_t* row = dib.Bits.data() + static_cast<std::size_t>(y) * dib.Stride();
        unsigned highest = 0;
        for (int x = 0; x < dib.Width; ++x) {
            unsigned index;
            switch (dib.BitCount) {
            case 1:
                index = (row[x >> 3] >> (7 - (x & 7))) & 1u;
                break;
            case 4:
                index = (x & 1) ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4u;
                break;
            default:
                index = row[x];
                break;
            }
            highest = std::max(highest, index);
        }
        if (highest >= count)
            Invalid();
    }
}

} // namespace

TDib DecodeBmp(std::span<const std::uint8_t> file) {
    const TReader in(file);
    in.Need(0, FileHeaderSize);
    if (file[0] != 'B' || file[1] != 'M')
        Invalid();
    if (in.U32(2) > file.size())
        Invalid(); // the file says it is longer than it is: cut short
    const std::uint64_t bitsOffset = in.U32(10);

    const THeader h = ReadHeader(in);
    CheckFormat(h);
    if (bitsOffset < h.PaletteStart || bitsOffset > file.size())
        Invalid();
    const std::uint64_t available = file.size() - bitsOffset;
    if (h.SizeImage > available)
        Invalid();

    TDib dib;
    dib.Width = static_cast<int>(h.Width);
    dib.Height = static_cast<int>(h.Height < 0 ? -h.Height : h.Height);
    dib.BitCount = static_cast<int>(h.BitCount);
    dib.Palette = ReadPalette(file, h, bitsOffset);
    if (h.BitCount == 16 || h.BitCount == 32) {
        if (h.Compression == CompressionBitFields) {
            dib.RedMask = h.Masks[0];
            dib.GreenMask = h.Masks[1];
            dib.BlueMask = h.Masks[2];
        } else if (h.BitCount == 16) {
            dib.RedMask = 0x7C00;
            dib.GreenMask = 0x03E0;
            dib.BlueMask = 0x001F;
        } else {
            dib.RedMask = 0xFF0000;
            dib.GreenMask = 0x00FF00;
            dib.BlueMask = 0x0000FF;
        }
    }

    // At most 16384 * 4 * 16384 bytes: fits in 32 bits, so in any size_t.
    const std::size_t stride = dib.Stride();
    const std::size_t total = stride * static_cast<std::size_t>(dib.Height);
    const std::uint8_t* src = file.data() + bitsOffset;
    if (h.Compression == CompressionRle8 || h.Compression == CompressionRle4) {
        const std::size_t length =
            h.SizeImage != 0 ? h.SizeImage : static_cast<std::size_t>(available);
        const std::span<const std::uint8_t> rle(src, length);
        const bool fourBit = h.Compression == CompressionRle4;
        RunRle(rle, dib.Width, dib.Height, fourBit, nullptr, stride);
        dib.Bits.assign(total, 0);
        RunRle(rle, dib.Width, dib.Height, fourBit, dib.Bits.data(), stride);
    } else {
        if (total > available)
            Invalid();
        dib.Bits.resize(total);
        CopyRows(src, dib, h.Height < 0);
    }
    if (h.BitCount <= 8)
        CheckIndices(dib);
    return dib;
}
