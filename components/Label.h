// The label: text painted by its form, with no window of its own and no background,
// so whatever lies beneath it shows through.
#pragma once

#include "components/Controls.h"
#include "components/Forms.h"
#include "components/Handles.h"

#include <windows.h>

#include <optional>
#include <string>

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TGraphicControl {
public:
    // Takes its form's font until it is given one of its own.
    explicit TLabel(TForm* owner);

    const std::wstring& Caption() const { return Text; }
    void SetCaption(std::wstring caption);

    const TFontDesc& Font() const { return FontDescription; }
    void SetFont(const TFontDesc& font);
    // The system's window-text colour unless set.
    void SetFontColor(COLORREF color);

    // Where the text stands in the label's box. With AutoSize, a left-justified label
    // keeps its left edge and a right-justified one its right edge while the box
    // follows the text; a centred label is meant for a fixed box (AutoSize false).
    TAlignment Alignment() const { return TextAlignment; }
    void SetAlignment(TAlignment alignment);

    // On by default: the box takes the size of the text on every change of caption,
    // font or bounds.
    bool AutoSize() const { return IsAutoSize; }
    void SetAutoSize(bool autoSize);

    void SetBounds(int left, int top, int width, int height) override;
    void Paint(HDC dc) override;

private:
    UINT DrawFlags() const;
    void AdjustBounds();

    std::wstring Text;
    TFontDesc FontDescription;
    TFontHandle FontHandle;
    std::optional<COLORREF> TextColor;
    TAlignment TextAlignment = TAlignment::taLeftJustify;
    bool IsAutoSize = true;
};
