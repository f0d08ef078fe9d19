#include "components/Forms.h"

#include "components/Application.h"
#include "components/Dispatch.h"
#include "components/Menus.h"
#include "components/WinControl.h"

#include <windowsx.h>

#include <algorithm>

namespace {

const wchar_t FormWindowClass[] = L"TForm";

void RegisterFormClass(HINSTANCE instance, WNDPROC windowProc) {
    WNDCLASSW wc{};
    if (GetClassInfoW(instance, FormWindowClass, &wc))
        return;
    // No CS_DBLCLKS: two quick clicks on the character are two clicks.
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = FormWindowClass;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(instance, L"MAINICON");
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassW(&wc);
}

} // namespace

TFontHandle CreateFontFromDesc(const TFontDesc& font) {
    LOGFONTW lf{};
    lf.lfHeight = -font.Height;
    lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.Italic ? TRUE : FALSE;
    lf.lfCharSet = font.Charset;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, font.Name.c_str(), LF_FACESIZE);
    return TFontHandle(CreateFontIndirectW(&lf));
}

TForm::TForm(TComponent* owner, const TFormDesign& design)
    : TComponent(owner), Design(design), FormFont(CreateFontFromDesc(design.Font)) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterFormClass(instance, StaticWndProc);

    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    DWORD exStyle = 0;
    switch (Design.BorderStyle) {
    case TBorderStyle::bsNone:
        break;
    case TBorderStyle::bsSingle:
        style |= WS_CAPTION;
        break;
    case TBorderStyle::bsToolWindow:
        style |= WS_CAPTION;
        exStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (Design.BorderIcons && Design.BorderStyle != TBorderStyle::bsNone)
        style |= WS_SYSMENU;
    if (Design.DialogKeys)
        exStyle |= WS_EX_CONTROLPARENT;

    RECT r{0, 0, Design.ClientWidth, Design.ClientHeight};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    HWND ownerWindow = Application->Handle();
    // The window handle is taken at WM_NCCREATE, with `this` attached.
    HWND created = CreateWindowExW(exStyle, FormWindowClass, Design.Caption.c_str(), style,
                                   Design.Left, Design.Top, r.right - r.left, r.bottom - r.top,
                                   ownerWindow, nullptr, instance, this);
    if (!created) {
        Window.Release();
        throw Exception(L"ウィンドウを作成できません");
    }
    SendMessageW(Window.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(FormFont.Get()), FALSE);
}

TForm::~TForm() {
    // The components use the form (they unregister here), so they go first; then
    // the window, detached from this object so that no message reaches a form in
    // destruction.
    DestroyComponents();
    if (Window) {
        SetWindowLongPtrW(Window.Get(), GWLP_USERDATA, 0);
        Window.Reset();
    }
}

void TForm::DoCreate() {
    Dispatch([this] {
        if (OnCreate)
            OnCreate(this);
    });
}

void TForm::Show() {
    HWND h = Window.Get();
    if (!IsWindowVisible(h)) {
        if (OnShow)
            OnShow(this);
        if (!ShownOnce && Design.Position == TPosition::poScreenCenter)
            CenterOnScreen();
        ShownOnce = true;
        ShowWindow(h, SW_SHOW);
    }
    SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(h);
}

void TForm::Close() {
    if (Application->MainForm() == this)
        Application->Terminate();
    else
        Hide();
}

void TForm::Hide() {
    ShowWindow(Window.Get(), SW_HIDE);
}

bool TForm::Visible() const {
    return IsWindowVisible(Window.Get()) != FALSE;
}

void TForm::CenterOnScreen() {
    RECT r = WindowRect();
    int w = r.right - r.left;
    int h = r.bottom - r.top;
    int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - w) / 2);
    int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - h) / 2);
    SetWindowPos(Window.Get(), nullptr, left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TForm::WindowRect() const {
    RECT r{};
    GetWindowRect(Window.Get(), &r);
    return r;
}

int TForm::Left() const {
    return WindowRect().left;
}
int TForm::Top() const {
    return WindowRect().top;
}
int TForm::Width() const {
    RECT r = WindowRect();
    return r.right - r.left;
}
int TForm::Height() const {
    RECT r = WindowRect();
    return r.bottom - r.top;
}

int TForm::ClientWidth() const {
    RECT r{};
    GetClientRect(Window.Get(), &r);
    return r.right;
}

int TForm::ClientHeight() const {
    RECT r{};
    GetClientRect(Window.Get(), &r);
    return r.bottom;
}

void TForm::SetLeft(int value) {
    RECT r = WindowRect();
    if (r.left != value)
        SetWindowPos(Window.Get(), nullptr, value, r.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetTop(int value) {
    RECT r = WindowRect();
    if (r.top != value)
        SetWindowPos(Window.Get(), nullptr, r.left, value, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetWidth(int value) {
    RECT r = WindowRect();
    if (r.right - r.left != value)
        SetWindowPos(Window.Get(), nullptr, 0, 0, value, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetHeight(int value) {
    RECT r = WindowRect();
    if (r.bottom - r.top != value)
        SetWindowPos(Window.Get(), nullptr, 0, 0, r.right - r.left, value,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::InsertControl(TControl* control) {
    ControlList.push_back(control);
}

void TForm::RemoveControl(TControl* control) {
    std::erase(ControlList, control);
    if (Pressed == control)
        Pressed = nullptr;
}

TGraphicControl* TForm::ControlAt(POINT clientPoint) const {
    for (auto it = ControlList.rbegin(); it != ControlList.rend(); ++it) {
        auto* graphic = dynamic_cast<TGraphicControl*>(*it);
        if (graphic && graphic->HitTest(clientPoint))
            return graphic;
    }
    return nullptr;
}

void TForm::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Window.Get(), &ps);
    for (TControl* control : ControlList) {
        auto* graphic = dynamic_cast<TGraphicControl*>(control);
        if (graphic && graphic->Visible()) {
            int saved = SaveDC(dc);
            graphic->Paint(dc);
            RestoreDC(dc, saved);
        }
    }
    EndPaint(Window.Get(), &ps);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND h = Window.Get();
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_LBUTTONDOWN: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        Pressed = ControlAt(pt);
        if (Pressed)
            SetCapture(h);
        return 0;
    }
    case WM_LBUTTONUP: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        TGraphicControl* pressed = std::exchange(Pressed, nullptr);
        if (GetCapture() == h)
            ReleaseCapture();
        if (pressed && ControlAt(pt) == pressed)
            Dispatch([pressed] { pressed->Click(); });
        return 0;
    }
    case WM_CAPTURECHANGED:
        Pressed = nullptr;
        break;
    case WM_CONTEXTMENU: {
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        POINT client = screen;
        if (screen.x == -1 && screen.y == -1) {
            // From the keyboard: open at the window's top-left corner.
            client = POINT{0, 0};
            screen = client;
            ClientToScreen(h, &screen);
        } else {
            ScreenToClient(h, &client);
        }
        TGraphicControl* control = ControlAt(client);
        if (control && control->PopupMenu) {
            TPopupMenu* menu = control->PopupMenu;
            Dispatch([menu, screen] { PopupMenuAt(menu, screen.x, screen.y); });
            return 0;
        }
        break;
    }
    case WM_CLOSE:
        Dispatch([this] { Close(); });
        return 0;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
        // A windowed control reports about itself: the control handles it.
        if (TWinControl* control = TWinControl::FromHandle(reinterpret_cast<HWND>(lParam))) {
            control->Notify(message, wParam, lParam);
            return 0;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(h, focus))
                FocusedControl = focus;
        }
        break;
    case WM_SETFOCUS:
        // Like a dialog, the form hands the focus on to a control: the one that had it
        // last, or the first in Tab order.
        if (Design.DialogKeys) {
            HWND target =
                FocusedControl && IsChild(h, FocusedControl) && IsWindowEnabled(FocusedControl)
                    ? FocusedControl
                    : GetNextDlgTabItem(h, nullptr, FALSE);
            if (target) {
                SetFocus(target);
                return 0;
            }
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(h, message, wParam, lParam);
}

LRESULT CALLBACK TForm::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TForm* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->Window.Reset(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<TForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    try {
        result = self->WndProc(message, wParam, lParam);
    } catch (...) {
        HandleEventException(std::current_exception());
    }
    return result;
}
