#include "components/Graphics.h"

#include "components/BmpDecoder.h"
#include "components/Handles.h"
#include "components/SysUtils.h"
#include "components/Text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <span>
#include <vector>

namespace {

[[noreturn]] void ThrowInvalidBitmap() {
    throw EInvalidGraphic(L"ビットマップイメージが不正です");
}

bool ValidLayout(const TDib& dib) {
    if (dib.Width < 0 || dib.Height < 0)
        return false;
    switch (dib.BitCount) {
    case 0:
        return dib.Width == 0 || dib.Height == 0;
    case 1:
    case 4:
    case 8:
        return dib.Palette.size() <= (1u << dib.BitCount) &&
               (dib.Height == 0 || dib.Bits.size() / std::max<std::size_t>(dib.Stride(), 1) >=
                                       static_cast<std::size_t>(dib.Height));
    case 16:
    case 24:
    case 32:
        return dib.Height == 0 || dib.Bits.size() / std::max<std::size_t>(dib.Stride(), 1) >=
                                      static_cast<std::size_t>(dib.Height);
    default:
        return false;
    }
}

// The 16 colours every display shows, in the order of the standard 4-bit palette.
constexpr std::array<TRgbQuad, 16> StandardColors = {{
    {0x00, 0x00, 0x00, 0},
    {0x00, 0x00, 0x80, 0},
    {0x00, 0x80, 0x00, 0},
    {0x00, 0x80, 0x80, 0},
    {0x80, 0x00, 0x00, 0},
    {0x80, 0x00, 0x80, 0},
    {0x80, 0x80, 0x00, 0},
    {0xC0, 0xC0, 0xC0, 0},
    {0x80, 0x80, 0x80, 0},
    {0x00, 0x00, 0xFF, 0},
    {0x00, 0xFF, 0x00, 0},
    {0x00, 0xFF, 0xFF, 0},
    {0xFF, 0x00, 0x00, 0},
    {0xFF, 0x00, 0xFF, 0},
    {0xFF, 0xFF, 0x00, 0},
    {0xFF, 0xFF, 0xFF, 0},
}};

// The window system's halftone palette, as a colour table.
std::vector<TRgbQuad> HalftoneColors() {
    TMemoryDc dc(CreateCompatibleDC(nullptr));
    TPaletteHandle palette(CreateHalftonePalette(dc.Get()));
    std::array<PALETTEENTRY, 256> entries{};
    const UINT count = palette ? GetPaletteEntries(palette.Get(), 0, 256, entries.data()) : 0;
    std::vector<TRgbQuad> colors;
    colors.reserve(count);
    for (UINT i = 0; i < count; ++i)
        colors.push_back({entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0});
    return colors;
}

// An empty TDib of the given format, masks and colour table filled in.
TDib BlankDib(int width, int height, TPixelFormat format) {
    TDib dib;
    dib.Width = width;
    dib.Height = height;
    switch (format) {
    case TPixelFormat::pf1bit:
        dib.BitCount = 1;
        dib.Palette = {StandardColors[0], StandardColors[15]};
        break;
    case TPixelFormat::pf4bit:
        dib.BitCount = 4;
        dib.Palette.assign(StandardColors.begin(), StandardColors.end());
        break;
    case TPixelFormat::pf8bit:
        dib.BitCount = 8;
        dib.Palette = HalftoneColors();
        break;
    case TPixelFormat::pf15bit:
        dib.BitCount = 16;
        dib.RedMask = 0x7C00;
        dib.GreenMask = 0x03E0;
        dib.BlueMask = 0x001F;
        break;
    case TPixelFormat::pf16bit:
        dib.BitCount = 16;
        dib.RedMask = 0xF800;
        dib.GreenMask = 0x07E0;
        dib.BlueMask = 0x001F;
        break;
    case TPixelFormat::pf24bit:
        dib.BitCount = 24;
        break;
    case TPixelFormat::pf32bit:
        dib.BitCount = 32;
        dib.RedMask = 0xFF0000;
        dib.GreenMask = 0x00FF00;
        dib.BlueMask = 0x0000FF;
        break;
    default:
        break;
    }
    return dib;
}

// Indexed pixels widened to blue, green, red bytes of their palette colours.
TDib IndexedToRgb24(const TDib& dib) {
    TDib out = BlankDib(dib.Width, dib.Height, TPixelFormat::pf24bit);
    out.Bits.resize(out.Stride() * static_cast<std::size_t>(out.Height));
    const std::vector<std::uint8_t> rgb = ToRgb(dib);
    const std::uint8_t* src = rgb.data();
    for (int y = 0; y < out.Height; ++y) {
        std::uint8_t* dst = out.ScanLine(y);
        for (int x = 0; x < out.Width; ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    return out;
}

// A TDib in a layout that StretchDIBits draws on every system: indexed, 24 bits,
// 5-5-5 and 5-6-5 in 16 bits, 8-8-8 in 32 bits. Other channel masks are drawn
// from a 24-bit copy.
bool DrawsDirectly(const TDib& dib) {
    return dib.PixelFormat() != TPixelFormat::pfCustom;
}

void DrawDib(const TDib& dib, HDC dc, int x, int y) {
    const TDibInfo info = MakeDibInfo(dib);
    StretchDIBits(dc, x, y, dib.Width, dib.Height, 0, 0, dib.Width, dib.Height, dib.Bits.data(),
                  info.Info(), DIB_RGB_COLORS, SRCCOPY);
}

// Lets the window system draw the pixels into a DIB section of the target format,
// which maps every colour to the target's nearest one, and reads the result back.
TDib Redraw(const TBitmap& source, TPixelFormat format) {
    TDib out = BlankDib(source.Width(), source.Height(), format);
    const TDibInfo info = MakeDibInfo(out);
    TMemoryDc dc(CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    TBitmapHandle section(
        CreateDIBSection(dc.Get(), info.Info(), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits)
        throw Exception(L"メモリが足りません");
    {
        TSelectObject select(dc.Get(), section.Get());
        source.Draw(dc.Get(), 0, 0);
        GdiFlush();
    }
    const std::size_t size = out.Stride() * static_cast<std::size_t>(out.Height);
    const auto* first = static_cast<const std::uint8_t*>(bits);
    out.Bits.assign(first, first + size);
    return out;
}

std::wstring ExtensionOf(const std::wstring& path) {
    const std::size_t dot = path.find_last_of(L'.');
    const std::size_t separator = path.find_last_of(L"\\/:");
    if (dot == std::wstring::npos || (separator != std::wstring::npos && separator > dot))
        return {};
    return path.substr(dot + 1);
}

bool IsRegisteredExtension(std::wstring extension) {
    for (wchar_t& c : extension)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return extension == L"bmp" || extension == L"dib";
}

// The whole file's bytes. A file that cannot be opened raises the loader's message.
std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName) {
    TKernelHandle file(CreateFileA(fileName.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        throw Exception(FormatMessageText(L"ファイル %s は開けません", {AnsiToWide(fileName)}));
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size))
        throw Exception(FormatMessageText(L"ファイル %s は開けません", {AnsiToWide(fileName)}));
    // The largest bitmap we take holds 16384 x 16384 pixels of 4 bytes; a file much
    // larger than that is no picture of ours, and reading it would only cost memory.
    constexpr LONGLONG largestFile = 4LL * MaxBmpSide * MaxBmpSide + (16 << 20);
    if (size.QuadPart > largestFile ||
        static_cast<unsigned long long>(size.QuadPart) > std::numeric_limits<std::size_t>::max())
        ThrowInvalidBitmap();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr) || read == 0)
            break;
        done += read;
    }
    // A file that shrank while it was read is read as far as it went: the decoder
    // rejects what is cut short.
    bytes.resize(done);
    return bytes;
}

} // namespace

TDibInfo MakeDibInfo(const TDib& dib) {
    TDibInfo info{};
    BITMAPINFOHEADER& h = info.Header;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = dib.Width;
    h.biHeight = -dib.Height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(dib.BitCount);
    h.biCompression = BI_RGB;
    if (dib.BitCount == 16 || dib.BitCount == 32) {
        h.biCompression = BI_BITFIELDS;
        const DWORD masks[3] = {dib.RedMask, dib.GreenMask, dib.BlueMask};
        std::memcpy(info.Colors, masks, sizeof masks);
    } else if (dib.BitCount >= 1 && dib.BitCount <= 8) {
        h.biClrUsed = 1u << dib.BitCount;
        const std::size_t n = std::min<std::size_t>(dib.Palette.size(), h.biClrUsed);
        for (std::size_t i = 0; i < n; ++i)
            info.Colors[i] = {dib.Palette[i].Blue, dib.Palette[i].Green, dib.Palette[i].Red, 0};
    }
    return info;
}

void TBitmap::Changed() {
    if (OnChange)
        OnChange();
}

void TBitmap::Assign(TDib dib) {
    if (!ValidLayout(dib))
        ThrowInvalidBitmap();
    Pixels = std::move(dib);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == PixelFormat() || format == TPixelFormat::pfDevice ||
        format == TPixelFormat::pfCustom)
        return;
    if (Empty()) {
        Pixels = BlankDib(Pixels.Width, Pixels.Height, format);
        Changed();
        return;
    }
    TDib converted;
    if (format == TPixelFormat::pf24bit) {
        if (Pixels.BitCount <= 8) {
            converted = IndexedToRgb24(Pixels);
        } else {
            converted = Pixels;
            ConvertToRgb24(converted);
        }
    } else {
        converted = Redraw(*this, format);
    }
    Pixels = std::move(converted);
    Changed();
}

void TBitmap::Draw(HDC dc, int x, int y) const {
    if (Empty())
        return;
    if (DrawsDirectly(Pixels)) {
        DrawDib(Pixels, dc, x, y);
        return;
    }
    TDib copy = Pixels;
    ConvertToRgb24(copy);
    DrawDib(copy, dc, x, y);
}

TPicture::TPicture() {
    PictureBitmap.OnChange = [this] {
        if (OnChange)
            OnChange();
    };
}

void TPicture::LoadFromFile(const std::string& fileName) {
    const std::wstring extension = ExtensionOf(AnsiToWide(fileName));
    if (!IsRegisteredExtension(extension))
        throw EInvalidGraphic(
            FormatMessageText(L"拡張子 .%s の画像形式は処理できません", {extension}));
    // Decoded into a bitmap of its own first: a failure leaves the picture as it was.
    TDib decoded;
    try {
        decoded = DecodeBmp(ReadWholeFile(fileName));
    } catch (const std::bad_alloc&) {
        // A picture too large for the memory at hand, which a 32-bit process runs
        // short of long before the largest sides the decoder takes.
        throw Exception(L"メモリが足りません");
    }
    PictureBitmap.Assign(std::move(decoded));
}

void TPicture::LoadFromResource(const wchar_t* name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, name, RT_RCDATA);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        const std::wstring shown = IS_INTRESOURCE(name)
                                       ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name))
                                       : std::wstring(name);
        throw Exception(FormatMessageText(L"リソース %s が見つかりません", {shown}));
    }
    const auto* first = static_cast<const std::uint8_t*>(data);
    PictureBitmap.Assign(DecodeBmp(std::span(first, SizeofResource(module, resource))));
}
