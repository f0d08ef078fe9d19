#include "components/Label.h"

TLabel::TLabel(TForm* owner)
    : TGraphicControl(owner), FontDescription(owner ? owner->FontDesc() : TFontDesc{}),
      FontHandle(CreateFontFromDesc(FontDescription)) {
    AdjustBounds();
}

void TLabel::SetCaption(std::wstring caption) {
    if (caption == Text)
        return;
    Text = std::move(caption);
    AdjustBounds();
    Invalidate();
}

void TLabel::SetFont(const TFontDesc& font) {
    FontDescription = font;
    FontHandle = CreateFontFromDesc(FontDescription);
    AdjustBounds();
    Invalidate();
}

void TLabel::SetFontColor(COLORREF color) {
    TextColor = color;
    Invalidate();
}

void TLabel::SetAlignment(TAlignment alignment) {
    if (alignment == TextAlignment)
        return;
    TextAlignment = alignment;
    Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
    if (autoSize == IsAutoSize)
        return;
    IsAutoSize = autoSize;
    AdjustBounds();
}

void TLabel::SetBounds(int left, int top, int width, int height) {
    TGraphicControl::SetBounds(left, top, width, height);
    AdjustBounds();
}

UINT TLabel::DrawFlags() const {
    UINT flags = DT_EXPANDTABS | DT_NOPREFIX;
    switch (TextAlignment) {
    case TAlignment::taLeftJustify:
        flags |= DT_LEFT;
        break;
    case TAlignment::taRightJustify:
        flags |= DT_RIGHT;
        break;
    case TAlignment::taCenter:
        flags |= DT_CENTER;
        break;
    }
    return flags;
}

void TLabel::AdjustBounds() {
    if (!IsAutoSize)
        return;
    TMemoryDc dc(CreateCompatibleDC(nullptr));
    TSelectObject font(dc.Get(), FontHandle.Get());
    // An empty caption still measures one line, so the label keeps its height.
    std::wstring measured = Text.empty() ? std::wstring(L" ") : Text;
    RECT r{0, 0, 0, 0};
    DrawTextW(dc.Get(), measured.c_str(), static_cast<int>(measured.size()), &r,
              DrawFlags() | DT_CALCRECT);
    int left = Left();
    if (TextAlignment == TAlignment::taRightJustify)
        left = Bounds.right - r.right;
    TGraphicControl::SetBounds(left, Top(), r.right, r.bottom);
}

void TLabel::Paint(HDC dc) {
    if (Text.empty())
        return;
    TSelectObject font(dc, FontHandle.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TextColor.value_or(GetSysColor(COLOR_WINDOWTEXT)));
    RECT r = Bounds;
    DrawTextW(dc, Text.c_str(), static_cast<int>(Text.size()), &r, DrawFlags());
}
