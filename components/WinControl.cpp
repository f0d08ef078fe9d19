#include "components/WinControl.h"

#include "components/SysUtils.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

const wchar_t ControlProperty[] = L"TomarinWinControl";

// Dialog-manager IDs 1 and 2 (IDOK, IDCANCEL) are what Enter and Esc look for: no
// control may carry them, since no button is the form's default or cancel button.
int NextControlId() {
    static int next = 100;
    return next++;
}

// The form's windowed controls as the dialog manager walks them: z-order.
std::vector<HWND> TabSequence(HWND parent) {
    std::vector<HWND> result;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (TWinControl::FromHandle(child))
            result.push_back(child);
    }
    return result;
}

// The program's manifest asks for version 6 of the common controls, whose button and
// scroll bar classes must be registered before the first control is made. Loaded by
// name so that the activation context picks the side-by-side copy; never unloaded,
// since the classes live in it.
void EnsureCommonControls() {
    static const bool done = [] {
        if (HMODULE library = LoadLibraryW(L"comctl32.dll")) {
            using TInit = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
            auto init = reinterpret_cast<TInit>(
                reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
            INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
            if (init)
                init(&icc);
        }
        return true;
    }();
    (void)done;
}

} // namespace

TWinControl::TWinControl(TForm* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    if (Window)
        RemovePropW(Window.Get(), ControlProperty);
}

void TWinControl::CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle) {
    EnsureCommonControls();
    HWND parent = Parent() ? Parent()->Handle() : nullptr;
    HWND created = CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_VISIBLE | style, Left(),
                                   Top(), Width(), Height(), parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(NextControlId())),
                                   GetModuleHandleW(nullptr), this);
    if (!created)
        throw Exception(L"ウィンドウを作成できません");
    Window.Reset(created);
    SetPropW(created, ControlProperty, this);
    SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
}

TWinControl* TWinControl::FromHandle(HWND window) {
    return window ? static_cast<TWinControl*>(GetPropW(window, ControlProperty)) : nullptr;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    Bounds = RECT{left, top, left + width, top + height};
    if (Window)
        SetWindowPos(Window.Get(), nullptr, left, top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::SetFont(const TFontDesc& font) {
    OwnFont = CreateFontFromDesc(font);
    if (Window)
        SendMessageW(Window.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(OwnFont.Get()), TRUE);
    FontChanged();
}

HFONT TWinControl::Font() const {
    if (OwnFont)
        return OwnFont.Get();
    return Parent() ? Parent()->Font() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int TWinControl::TabOrder() const {
    std::vector<HWND> sequence = TabSequence(GetParent(Window.Get()));
    auto it = std::find(sequence.begin(), sequence.end(), Window.Get());
    return it == sequence.end() ? -1 : static_cast<int>(it - sequence.begin());
}

void TWinControl::SetTabOrder(int order) {
    std::vector<HWND> sequence = TabSequence(GetParent(Window.Get()));
    std::erase(sequence, Window.Get());
    order = std::clamp(order, 0, static_cast<int>(sequence.size()));
    sequence.insert(sequence.begin() + order, Window.Get());
    HWND after = HWND_TOP;
    for (HWND w : sequence) {
        SetWindowPos(w, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = w;
    }
}

bool TWinControl::Focused() const {
    HWND focus = GetFocus();
    return focus && (focus == Window.Get() || IsChild(Window.Get(), focus));
}

void TWinControl::SetFocus() {
    ::SetFocus(Window.Get());
}

void TWinControl::Notify(UINT, WPARAM, LPARAM) {}
