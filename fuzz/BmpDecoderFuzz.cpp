// Any bytes given to the BMP decoder either decode into a consistent bitmap or are
// rejected with the one message; the sanitizers catch every read or write outside
// the buffers on the way.
#include "components/BmpDecoder.h"
#include "components/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

// The compression field of an info header, or 0 when the header has none.
std::uint32_t Compression(const std::uint8_t* data, std::size_t size) {
    if (size < 34 || (data[14] | data[15] << 8) == 12)
        return 0;
    return data[30] | data[31] << 8 | data[32] << 16 | static_cast<std::uint32_t>(data[33]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TDib dib;
    try {
        dib = DecodeBmp(data, size);
    } catch (const EInvalidGraphic& e) {
        Check(e.Message == L"ビットマップイメージが不正です");
        return 0;
    }
    Check(dib.Width >= 1 && dib.Width <= MaxBmpSide && dib.Height >= 1 && dib.Height <= MaxBmpSide);
    Check(dib.Bits.size() == dib.Stride() * static_cast<std::size_t>(dib.Height));
    const std::uint32_t compression = Compression(data, size);
    if (compression != 1 && compression != 2) // only run-length data may expand
        Check(dib.Bits.size() <= size);
    if (dib.BitCount <= 8)
        Check(dib.Palette.size() <= (std::size_t{1} << dib.BitCount));
    else
        Check(dib.Palette.empty());

    // Reading every pixel back, and widening direct pictures without changing a
    // colour. Skipped for the largest run-length pictures only to keep runs fast.
    if (static_cast<std::size_t>(dib.Width) * dib.Height > (std::size_t{1} << 22))
        return 0;
    const std::vector<std::uint8_t> rgb = ToRgb(dib);
    Check(rgb.size() == static_cast<std::size_t>(dib.Width) * dib.Height * 3);
    if (dib.BitCount == 16 || dib.BitCount == 32) {
        ConvertToRgb24(dib);
        Check(dib.PixelFormat() == TPixelFormat::pf24bit);
        Check(ToRgb(dib) == rgb);
    }
    return 0;
}
