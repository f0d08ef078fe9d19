#include "components/ScrollBar.h"

#include "components/Dispatch.h"
#include "components/SysUtils.h"

#include <algorithm>

TScrollBar::TScrollBar(TForm* owner) : TWinControl(owner) {
    CreateHandle(L"SCROLLBAR", SBS_HORZ | WS_TABSTOP);
    ApplyScrollInfo(SIF_RANGE | SIF_PAGE | SIF_POS);
}

void TScrollBar::ApplyScrollInfo(UINT mask) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = mask;
    si.nMin = RangeMin;
    si.nMax = RangeMax;
    si.nPage = 0;
    si.nPos = Pos;
    SetScrollInfo(Handle(), SB_CTL, &si, TRUE);
}

void TScrollBar::SetRange(int min, int max) {
    if (max < min)
        throw Exception(L"スクロールバーの範囲が不正です");
    RangeMin = min;
    RangeMax = max;
    ApplyScrollInfo(SIF_RANGE | SIF_PAGE);
    ChangePosition(std::clamp(Pos, RangeMin, RangeMax));
}

void TScrollBar::SetPosition(int value) {
    ChangePosition(std::clamp(value, RangeMin, RangeMax));
}

void TScrollBar::ChangePosition(int value) {
    if (value == Pos)
        return;
    Pos = value;
    ApplyScrollInfo(SIF_POS);
    if (OnChange)
        OnChange(this);
}

void TScrollBar::Notify(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_HSCROLL && message != WM_VSCROLL)
        return;
    // Computed wide so that a step past either end only clamps.
    long long next = Pos;
    switch (LOWORD(wParam)) {
    case SB_LINELEFT:
        next -= SmallChange;
        break;
    case SB_LINERIGHT:
        next += SmallChange;
        break;
    case SB_PAGELEFT:
        next -= LargeChange;
        break;
    case SB_PAGERIGHT:
        next += LargeChange;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The 16 bits of the message cannot carry every position; the control can.
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(Handle(), SB_CTL, &si);
        next = si.nTrackPos;
        break;
    }
    case SB_LEFT:
        next = RangeMin;
        break;
    case SB_RIGHT:
        next = RangeMax;
        break;
    default:
        return;
    }
    int value = static_cast<int>(std::clamp<long long>(next, RangeMin, RangeMax));
    Dispatch([this, value] { ChangePosition(value); });
}
