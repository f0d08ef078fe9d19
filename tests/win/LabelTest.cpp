// The label: its box follows its text, and it paints only its glyphs.
#include "components/Label.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::unique_ptr<TForm> MakeForm() {
    TFormDesign d;
    d.BorderStyle = TBorderStyle::bsNone;
    d.ClientWidth = 200;
    d.ClientHeight = 60;
    return std::make_unique<TForm>(nullptr, d);
}

TFontDesc Font(int height) {
    TFontDesc f;
    f.Height = height;
    return f;
}

TEST(Label, AutoSizeKeepsTheEdgeItsAlignmentNames) {
    auto form = MakeForm();
    auto* label = new TLabel(form.get());
    label->SetFont(Font(11));
    label->SetBounds(233, 5, 17, 11);
    label->SetCaption(L"±0");
    const int narrow = label->Width();
    EXPECT_EQ(label->Left(), 233);
    EXPECT_EQ(label->Top(), 5);
    EXPECT_GE(label->Height(), 11);

    label->SetCaption(L"+200");
    EXPECT_EQ(label->Left(), 233);
    EXPECT_GT(label->Width(), narrow);

    // Right-justified: the right edge stays where the bounds put it.
    label->SetAlignment(TAlignment::taRightJustify);
    label->SetBounds(100, 5, 40, 11);
    EXPECT_EQ(label->Left() + label->Width(), 140);
    label->SetCaption(L"-200 px");
    EXPECT_EQ(label->Left() + label->Width(), 140);

    // A larger font makes a larger box; an empty caption keeps one line's height.
    label->SetAlignment(TAlignment::taLeftJustify);
    const int smallHeight = label->Height();
    label->SetFont(Font(24));
    EXPECT_GT(label->Height(), smallHeight);
    label->SetCaption(L"");
    EXPECT_GT(label->Height(), smallHeight);

    // A fixed box stays as set.
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 150, 30);
    label->SetCaption(L"x");
    EXPECT_EQ(label->Width(), 150);
    EXPECT_EQ(label->Height(), 30);
}

// Paints a label into a red bitmap and returns the columns that received ink.
struct TInk {
    int First = -1;
    int Last = -1;
    bool BackgroundKept = false;
    bool InkInColour = false;
};

TInk PaintAndFindInk(TLabel& label, COLORREF ink) {
    const int w = 200;
    const int h = 60;
    HDC screen = GetDC(nullptr);
    TMemoryDc dc(CreateCompatibleDC(screen));
    TBitmapHandle bitmap(CreateCompatibleBitmap(screen, w, h));
    ReleaseDC(nullptr, screen);
    TSelectObject select(dc.Get(), bitmap.Get());
    TBrushHandle red(CreateSolidBrush(RGB(255, 0, 0)));
    RECT all{0, 0, w, h};
    FillRect(dc.Get(), &all, red.Get());
    label.Paint(dc.Get());

    TInk result;
    result.BackgroundKept = true;
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            COLORREF c = GetPixel(dc.Get(), x, y);
            if (c == RGB(255, 0, 0))
                continue;
            POINT p{x, y};
            EXPECT_TRUE(PtInRect(&label.BoundsRect(), p)) << x << "," << y;
            if (result.First < 0)
                result.First = x;
            result.Last = x;
            if (c == ink)
                result.InkInColour = true;
        }
    }
    // The corners of the box hold no glyph: they must still be the red beneath.
    result.BackgroundKept = GetPixel(dc.Get(), label.Left(), label.Top()) == RGB(255, 0, 0);
    return result;
}

TEST(Label, PaintsOnlyItsTextInItsColourAtItsAlignment) {
    auto form = MakeForm();
    auto* label = new TLabel(form.get());
    label->SetFont(Font(16));
    label->SetFontColor(RGB(0, 0, 255));
    label->SetAutoSize(false);
    label->SetBounds(20, 10, 160, 30);
    label->SetCaption(L"設定");

    struct TCase {
        TAlignment Alignment;
        int ExpectedCentre; // of the ink, in form pixels
    };
    const std::vector<TCase> cases = {
        {TAlignment::taLeftJustify, 20 + 16},
        {TAlignment::taCenter, 100},
        {TAlignment::taRightJustify, 180 - 16},
    };
    for (const TCase& c : cases) {
        label->SetAlignment(c.Alignment);
        TInk ink = PaintAndFindInk(*label, RGB(0, 0, 255));
        SCOPED_TRACE(static_cast<int>(c.Alignment));
        ASSERT_GE(ink.First, 0) << "nothing painted";
        EXPECT_TRUE(ink.BackgroundKept);
        EXPECT_TRUE(ink.InkInColour);
        EXPECT_NEAR((ink.First + ink.Last) / 2, c.ExpectedCentre, 4);
    }
}

} // namespace
