// The picture control on a real form: AutoSize, and painting unscaled from its
// top-left corner.
#include "PictureTestSupport.h"
#include "WinTestSupport.h"
#include "components/Forms.h"
#include "components/Image.h"

#include <gtest/gtest.h>

#include <array>

namespace {

TFormDesign ImageFormDesign() {
    TFormDesign d;
    d.Caption = L"image test";
    d.BorderStyle = TBorderStyle::bsNone;
    d.Left = 40;
    d.Top = 50;
    d.ClientWidth = 120;
    d.ClientHeight = 50;
    return d;
}

// Left, top, right, bottom of the control on its form.
std::array<LONG, 4> Bounds(const TImage& image) {
    const RECT& r = image.BoundsRect();
    return {r.left, r.top, r.right, r.bottom};
}

// Every pixel of the canvas: the built-in plate at (left, top), clipped to `clip`,
// and the fill colour elsewhere.
int WrongPixels(const TCanvas& canvas, int left, int top, const RECT& clip, COLORREF fill) {
    TPicture builtin;
    builtin.LoadFromResource(L"BUILTIN");
    const std::vector<std::uint8_t> plate = ToRgb(builtin.Bitmap().Dib());
    const std::array<std::uint8_t, 3> background{GetRValue(fill), GetGValue(fill), GetBValue(fill)};
    int wrong = 0;
    for (int y = 0; y < canvas.Height; ++y)
        for (int x = 0; x < canvas.Width; ++x) {
            const POINT p{x, y};
            const bool onPlate =
                PtInRect(&clip, p) && x >= left && y >= top && x < left + 90 && y < top + 30;
            const auto want = onPlate ? RgbAt(plate, 90, x - left, y - top) : background;
            if (canvas.Rgb(x, y) != want && wrong++ < 3)
                ADD_FAILURE() << "pixel " << x << "," << y;
        }
    return wrong;
}

} // namespace

TEST(Image, AutoSizeTakesThePicturesSizeWheneverItHasOne) {
    TForm form(nullptr, ImageFormDesign());
    auto* sized = new TImage(&form);
    sized->SetBounds(5, 7, 10, 10);
    sized->AutoSize = true;
    auto* fixed = new TImage(&form);
    fixed->SetBounds(1, 2, 10, 10);

    sized->Picture()->LoadFromResource(L"BUILTIN");
    fixed->Picture()->LoadFromResource(L"BUILTIN");
    EXPECT_EQ(Bounds(*sized), (std::array<LONG, 4>{5, 7, 95, 37}));
    EXPECT_EQ(Bounds(*fixed), (std::array<LONG, 4>{1, 2, 11, 12}));

    // A picture without pixels leaves the size as it was.
    sized->Picture()->Bitmap().Assign(TDib{});
    EXPECT_EQ(Bounds(*sized), (std::array<LONG, 4>{5, 7, 95, 37}));

    sized->Picture()->LoadFromResource(L"LOGO");
    EXPECT_EQ(Bounds(*sized), (std::array<LONG, 4>{5, 7, 270, 92}));

    // A change made through the bitmap is a change of the picture too.
    sized->SetBounds(5, 7, 1, 1);
    sized->Picture()->Bitmap().SetPixelFormat(TPixelFormat::pf32bit);
    EXPECT_EQ(Bounds(*sized), (std::array<LONG, 4>{5, 7, 270, 92}));
}

TEST(Image, PaintsThePictureUnscaledFromItsTopLeftClippedToItself) {
    constexpr COLORREF fill = RGB(1, 2, 3);
    TForm form(nullptr, ImageFormDesign());
    auto* image = new TImage(&form);
    image->AutoSize = true;
    image->SetBounds(3, 4, 1, 1);
    image->Picture()->LoadFromResource(L"BUILTIN");
    {
        TCanvas canvas(120, 50, fill);
        image->Paint(canvas.Dc());
        EXPECT_EQ(WrongPixels(canvas, 3, 4, RECT{3, 4, 93, 34}, fill), 0);
    }
    // Smaller than its picture: the picture is cut off, not shrunk.
    image->AutoSize = false;
    image->SetBounds(3, 4, 20, 10);
    {
        TCanvas canvas(120, 50, fill);
        const int saved = SaveDC(canvas.Dc());
        image->Paint(canvas.Dc());
        RestoreDC(canvas.Dc(), saved);
        EXPECT_EQ(WrongPixels(canvas, 3, 4, RECT{3, 4, 23, 14}, fill), 0);
    }
}

// On the screen: the form paints its picture control, and the window shows the plate
// at the control's place.
TEST(Image, FormShowsThePictureOnTheScreen) {
    TForm form(nullptr, ImageFormDesign());
    auto* image = new TImage(&form);
    image->AutoSize = true;
    image->SetBounds(7, 9, 1, 1);
    image->Picture()->LoadFromResource(L"BUILTIN");
    form.Show();
    UpdateWindow(form.Handle());
    PumpFor(std::chrono::milliseconds(100));

    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    TCanvas canvas(120, 50, RGB(0, 0, 0));
    HDC windowDc = GetDC(form.Handle());
    BitBlt(canvas.Dc(), 0, 0, 120, 50, windowDc, 0, 0, SRCCOPY);
    ReleaseDC(form.Handle(), windowDc);
    form.Hide();
    EXPECT_EQ(WrongPixels(canvas, 7, 9, RECT{7, 9, 97, 39}, face), 0);
}
