// A control with a child window of its own on its form: it takes the keyboard focus,
// stands in the form's Tab order and gets back the notifications its window sends to
// the form.
#pragma once

#include "components/Controls.h"
#include "components/Forms.h"
#include "components/Handles.h"

#include <windows.h>

#include <string>

class TWinControl : public TControl {
public:
    explicit TWinControl(TForm* owner);
    ~TWinControl() override;

    HWND Handle() const { return Window.Get(); }

    // The control's object behind one of the form's child windows, or null.
    static TWinControl* FromHandle(HWND window);

    // Moves and sizes the window at once.
    void SetBounds(int left, int top, int width, int height) override;

    // Controls take their form's font until they are given one of their own.
    void SetFont(const TFontDesc& font);
    HFONT Font() const;

    // The place in the form's Tab order, counted among the form's windowed controls
    // from 0. New controls go last; assigning moves the control and shifts the others.
    int TabOrder() const;
    void SetTabOrder(int order);

    bool Focused() const;
    void SetFocus();

    // A message the window sent to its form about itself (WM_COMMAND, WM_HSCROLL),
    // handed back by the form. Runs the control's events through the dispatcher.
    virtual void Notify(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Creates the child window; derived constructors call it once they are complete,
    // since a window of the program's own class talks to its object during creation.
    void CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle = 0);
    virtual void FontChanged() {}

private:
    TWindowHandle Window;
    TFontHandle OwnFont;
};
