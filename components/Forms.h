// The form: a top-level window of the program, owned by the application window.
#pragma once

#include "components/Classes.h"
#include "components/Controls.h"
#include "components/Handles.h"

#include <windows.h>

#include <string>
#include <vector>

enum class TBorderStyle { bsNone, bsSingle, bsToolWindow };
enum class TPosition { poDesigned, poScreenCenter };

struct TFontDesc {
    std::wstring Name = L"ＭＳ Ｐゴシック";
    BYTE Charset = SHIFTJIS_CHARSET;
    int Height = 12; // character height in pixels
    bool Bold = false;
    bool Italic = false;
};

TFontHandle CreateFontFromDesc(const TFontDesc& font);

// What a form's resource gives it: frame, caption, place and size, font.
struct TFormDesign {
    std::wstring Caption;
    TBorderStyle BorderStyle = TBorderStyle::bsSingle;
    bool BorderIcons = true; // system menu and close box on the caption bar
    int Left = 0;
    int Top = 0;
    int ClientWidth = 0;
    int ClientHeight = 0;
    TPosition Position = TPosition::poDesigned;
    TFontDesc Font;
    // Tab order and "&" accelerators for the form's windowed controls.
    bool DialogKeys = false;
};

class TForm : public TComponent {
public:
    // The window is created hidden, owned by the application window.
    TForm(TComponent* owner, const TFormDesign& design);
    ~TForm() override;

    HWND Handle() const { return Window.Get(); }
    HFONT Font() const { return FormFont.Get(); }
    const TFontDesc& FontDesc() const { return Design.Font; }
    bool DialogKeys() const { return Design.DialogKeys; }

    // Runs the creation handler through the dispatcher; called once by the
    // application after construction.
    void DoCreate();

    // Hidden to shown: the show event runs first, then the first showing centres the
    // form when it asks for it, then it becomes visible. A visible form is only
    // brought to the front.
    void Show();
    // The main form ends the application; any other form is hidden.
    void Close();
    void Hide();
    bool Visible() const;

    // Outer edges and size in screen pixels. A setter moves or sizes the window at
    // once, without activating it or changing its z-order, and makes no call when
    // the value is unchanged.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int value);
    void SetTop(int value);
    void SetWidth(int value);
    void SetHeight(int value);
    int ClientWidth() const;
    int ClientHeight() const;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;

    // Graphic controls register here, in creation order.
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    const std::vector<TControl*>& Controls() const { return ControlList; }
    // The topmost graphic control that takes the mouse at a client point.
    TGraphicControl* ControlAt(POINT clientPoint) const;

protected:
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void CenterOnScreen();
    RECT WindowRect() const;

    TFormDesign Design;
    TFontHandle FormFont;
    TWindowHandle Window;
    std::vector<TControl*> ControlList;
    TGraphicControl* Pressed = nullptr;
    bool ShownOnce = false;
    // The windowed control that had the keyboard focus when the form was last
    // deactivated; it gets the focus back on reactivation.
    HWND FocusedControl = nullptr;
};
