// Controls placed on a form. Graphic controls have no window of their own: the
// form paints them in creation order and hit-tests them topmost (newest) first.
#pragma once

#include "components/Classes.h"

#include <windows.h>

class TForm;
class TPopupMenu;

class TControl : public TComponent {
public:
    // The owning form is also the parent the control is placed on.
    explicit TControl(TForm* owner);
    ~TControl() override;

    TForm* Parent() const { return ParentForm; }

    int Left() const { return Bounds.left; }
    int Top() const { return Bounds.top; }
    int Width() const { return Bounds.right - Bounds.left; }
    int Height() const { return Bounds.bottom - Bounds.top; }
    const RECT& BoundsRect() const { return Bounds; }
    virtual void SetBounds(int left, int top, int width, int height);

    bool Visible() const { return IsVisible; }
    void SetVisible(bool visible);

    // Asks the parent form to repaint the control's area.
    void Invalidate();

protected:
    RECT Bounds{};
    bool IsVisible = true;

private:
    TForm* ParentForm;
};

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TForm* owner);

    virtual void Paint(HDC dc) = 0;
    // True when the control takes the mouse at this client point of its form.
    virtual bool HitTest(POINT clientPoint) const;
    // A left button pressed and released on the control.
    virtual void Click();

    TNotifyEvent OnClick;
    // Opened at the mouse position by a right click on the control.
    TPopupMenu* PopupMenu = nullptr;
};
