#include "components/Controls.h"

#include "components/Forms.h"

TControl::TControl(TForm* owner) : TComponent(owner), ParentForm(owner) {
    if (ParentForm)
        ParentForm->InsertControl(this);
}

TControl::~TControl() {
    if (ParentForm)
        ParentForm->RemoveControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    RECT next{left, top, left + width, top + height};
    if (EqualRect(&next, &Bounds))
        return;
    Invalidate();
    Bounds = next;
    Invalidate();
}

void TControl::SetVisible(bool visible) {
    if (visible == IsVisible)
        return;
    IsVisible = visible;
    Invalidate();
}

void TControl::Invalidate() {
    if (ParentForm && ParentForm->Handle())
        InvalidateRect(ParentForm->Handle(), &Bounds, TRUE);
}

TGraphicControl::TGraphicControl(TForm* owner) : TControl(owner) {}

bool TGraphicControl::HitTest(POINT clientPoint) const {
    return IsVisible && PtInRect(&Bounds, clientPoint);
}

void TGraphicControl::Click() {
    if (OnClick)
        OnClick(this);
}
