// The horizontal scroll bar control: an integer position within a range, moved by
// the user with the arrows, the trough, the thumb and the keys.
#pragma once

#include "components/WinControl.h"

class TScrollBar : public TWinControl {
public:
    // Range 0 to 100, position 0, page size 0; arrows and trough move by 1.
    explicit TScrollBar(TForm* owner);

    int Min() const { return RangeMin; }
    int Max() const { return RangeMax; }
    int Position() const { return Pos; }

    // Sets the range; a position outside it is moved into it, which is a change.
    // A maximum below the minimum raises.
    void SetRange(int min, int max);
    // Clamps the value into the range. Only when the clamped value differs from the
    // position does the position change, and then OnChange runs before this returns.
    void SetPosition(int value);

    // How far an arrow (or arrow key) and a trough click (or Page key) move.
    int SmallChange = 1;
    int LargeChange = 1;

    // After every change of the position, by assignment or by the user (each step
    // of a thumb drag included).
    TNotifyEvent OnChange;

    void Notify(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ChangePosition(int value);
    void ApplyScrollInfo(UINT mask);

    int RangeMin = 0;
    int RangeMax = 100;
    int Pos = 0;
};
