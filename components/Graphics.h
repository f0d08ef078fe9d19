// The component library's bitmap and picture: a device-independent bitmap in memory
// that the window system draws as it stands, and the picture loader in front of it.
#pragma once

#include "components/Dib.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

class TBitmap {
public:
    TBitmap() = default;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return Pixels.Width; }
    int Height() const { return Pixels.Height; }
    bool Empty() const { return Pixels.Empty(); }

    TPixelFormat PixelFormat() const { return Pixels.PixelFormat(); }
    // Converts the pixels in place; asking for the format the bitmap has converts
    // nothing.
    // - pf24bit: every format is widened to blue, green, red bytes of the same
    //   colours (a fourth byte is dropped, narrow channels are widened exactly).
    // - pf1bit, pf4bit, pf8bit: re-drawn by the window system into a colour table of
    //   black and white, the 16 standard colours, or the window system's halftone
    //   palette; each pixel becomes the nearest colour of that table.
    // - pf15bit, pf16bit, pf32bit: re-drawn by the window system in that layout.
    // - pfDevice, pfCustom: the bitmap keeps its pixels. It only ever holds
    //   device-independent pixels, and "custom" names no layout to convert to.
    // An empty bitmap only takes the new format.
    void SetPixelFormat(TPixelFormat format);

    // The bytes of a row, row 0 being the top row. A row outside the bitmap raises
    // "スキャンライン のインデックスが範囲を越えました"; an empty bitmap has no row.
    std::uint8_t* ScanLine(int row) { return Pixels.ScanLine(row); }
    const std::uint8_t* ScanLine(int row) const { return Pixels.ScanLine(row); }

    // Draws the bitmap unscaled with its top-left corner at (x, y) of the device
    // context. An empty bitmap draws nothing.
    void Draw(HDC dc, int x, int y) const;

    const TDib& Dib() const { return Pixels; }
    // Replaces the pixels. A TDib whose bytes do not cover its rows, or whose bit
    // count or masks the bitmap cannot hold, raises "ビットマップイメージが不正です"
    // and leaves the bitmap as it was.
    void Assign(TDib dib);

    // After every change of the pixels or their format.
    std::function<void()> OnChange;

private:
    void Changed();

    TDib Pixels;
};

class TPicture {
public:
    TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // Loads a picture file, its format chosen by the file name's extension without
    // regard to case; registered: ".bmp" and ".dib" (Windows bitmaps). The name is a
    // path in the ANSI code page. Errors:
    // - an unregistered extension: EInvalidGraphic "拡張子 .%s の画像形式は処理で
    //   きません", the extension as written, without its dot;
    // - a file that cannot be opened (missing, a directory, no access): Exception
    //   "ファイル %s は開けません" with the path;
    // - a file that holds no valid bitmap: EInvalidGraphic "ビットマップイメージが不正
    //   です".
    // A failed load leaves the picture as it was.
    void LoadFromFile(const std::string& fileName);
    // Loads a bitmap linked into the executable as an RCDATA resource: L"BUILTIN"
    // (the 90 x 30 built-in plate) or L"LOGO" (the 265 x 85 about-window logo).
    void LoadFromResource(const wchar_t* name);

    // The picture as a bitmap; changes made through it are changes of the picture.
    TBitmap& Bitmap() { return PictureBitmap; }
    const TBitmap& Bitmap() const { return PictureBitmap; }
    int Width() const { return PictureBitmap.Width(); }
    int Height() const { return PictureBitmap.Height(); }

    // After every change of the picture.
    std::function<void()> OnChange;

private:
    TBitmap PictureBitmap;
};

// The bitmap header and colour table or channel masks that describe a TDib to the
// window system: rows top-down (a negative height), 16- and 32-bit pixels through
// BI_BITFIELDS. Indexed bitmaps get a full table of 2^BitCount entries, the entries
// the TDib lacks black, so that no index reads past the table.
struct TDibInfo {
    BITMAPINFOHEADER Header;
    RGBQUAD Colors[256];

    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};
TDibInfo MakeDibInfo(const TDib& dib);
