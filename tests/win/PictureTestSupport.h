// Helpers for the picture tests: the BMP test suite, a canvas to draw into and read
// back, and the region made the plain way, one run at a time.
#pragma once

#include "components/Dib.h"
#include "components/Graphics.h"
#include "components/Handles.h"
#include "forms/ShapeRuns.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A file of the BMP test suite, e.g. "g/pal8.bmp".
inline std::string SuiteFile(const std::string& relative) {
    return std::string(BMPSUITE_DIR) + "/" + relative;
}

inline TDib LoadSuiteDib(const std::string& relative) {
    TPicture picture;
    picture.LoadFromFile(SuiteFile(relative));
    return picture.Bitmap().Dib();
}

// A 32-bit top-down DIB section selected into a memory device context, filled with
// one colour, whose pixels read back as red, green, blue.
class TCanvas {
public:
    TCanvas(int width, int height, COLORREF fill) : Width(width), Height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        Section.Reset(CreateDIBSection(MemoryDc.Get(), &info, DIB_RGB_COLORS, &Bits, nullptr, 0));
        Select.emplace(MemoryDc.Get(), Section.Get());
        TBrushHandle brush(CreateSolidBrush(fill));
        RECT all{0, 0, width, height};
        FillRect(MemoryDc.Get(), &all, brush.Get());
    }

    HDC Dc() const { return MemoryDc.Get(); }
    std::array<std::uint8_t, 3> Rgb(int x, int y) const {
        GdiFlush();
        const auto* p = static_cast<const std::uint8_t*>(Bits) +
                        (static_cast<std::size_t>(y) * Width + static_cast<std::size_t>(x)) * 4;
        return {p[2], p[1], p[0]};
    }

    const int Width;
    const int Height;

private:
    TMemoryDc MemoryDc{CreateCompatibleDC(nullptr)};
    TBitmapHandle Section;
    void* Bits = nullptr;
    std::optional<TSelectObject> Select;
};

// The pixel (x, y) of ToRgb's output.
inline std::array<std::uint8_t, 3> RgbAt(const std::vector<std::uint8_t>& rgb, int width, int x,
                                         int y) {
    const std::size_t i = (static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

// The runs of a bitmap already in one of the two normalised formats.
inline std::vector<TShapeRun> RunsOf(const TBitmap& bitmap) {
    const TDib& dib = bitmap.Dib();
    const TPixelForm form = dib.BitCount == 8 ? TPixelForm::Indexed : TPixelForm::Direct;
    return ShapeRuns(
        {dib.Width, dib.Height, form, dib.Bits.data(), static_cast<std::ptrdiff_t>(dib.Stride())});
}

// The region as first designed: one rectangle region per run, united one by one.
inline TRegionHandle PerRunRegion(const std::vector<TShapeRun>& runs) {
    TRegionHandle region;
    for (const TShapeRun& run : runs) {
        TRegionHandle rect(CreateRectRgn(run.Left, run.Row, run.Right, run.Row + 1));
        if (!region)
            region = std::move(rect);
        else
            CombineRgn(region.Get(), region.Get(), rect.Get(), RGN_OR);
    }
    return region;
}
