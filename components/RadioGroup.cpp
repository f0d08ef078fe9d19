#include "components/RadioGroup.h"

#include "components/Dispatch.h"

#include <algorithm>

namespace {

const wchar_t GroupWindowClass[] = L"TRadioGroup";

void RegisterGroupClass(WNDPROC windowProc) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    if (GetClassInfoW(instance, GroupWindowClass, &wc))
        return;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = GroupWindowClass;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassW(&wc);
}

} // namespace

TRadioGroup::TRadioGroup(TForm* owner) : TWinControl(owner) {
    RegisterGroupClass(StaticWndProc);
    // A control parent: the dialog manager's Tab and arrow keys walk into its
    // buttons.
    CreateHandle(GroupWindowClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
}

TRadioGroup::~TRadioGroup() {
    // The window outlives this part of the object by a moment: it must not reach it.
    SetWindowLongPtrW(Handle(), GWLP_USERDATA, 0);
}

void TRadioGroup::SetCaption(const std::wstring& caption) {
    Text = caption;
    SetWindowTextW(Handle(), Text.c_str());
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TRadioGroup::SetItems(const std::vector<std::wstring>& items) {
    for (HWND button : Buttons)
        DestroyWindow(button);
    Buttons.clear();
    ItemTexts = items;
    Index = -1;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (size_t i = 0; i < ItemTexts.size(); ++i) {
        // The first button opens the group of buttons that the arrow keys move in.
        DWORD style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0);
        HWND button = CreateWindowExW(0, L"BUTTON", ItemTexts[i].c_str(), style, 0, 0, 0, 0,
                                      Handle(), reinterpret_cast<HMENU>(i + 1), instance, nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
        Buttons.push_back(button);
    }
    ArrangeButtons();
    UpdateButtons();
}

void TRadioGroup::SetColumns(int columns) {
    ColumnCount = std::clamp(columns, 1, 16);
    ArrangeButtons();
}

void TRadioGroup::SetItemIndex(int value) {
    value = std::clamp(value, -1, static_cast<int>(Buttons.size()) - 1);
    if (value == Index)
        return;
    Index = value;
    UpdateButtons();
    if (Index >= 0 && OnClick)
        OnClick(this);
}

void TRadioGroup::UpdateButtons() {
    for (size_t i = 0; i < Buttons.size(); ++i) {
        bool selected = static_cast<int>(i) == Index;
        SendMessageW(Buttons[i], BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED, 0);
        // Tab enters the group at the selected button, or at the first while none is.
        bool tabStop = selected || (Index < 0 && i == 0);
        LONG_PTR style = GetWindowLongPtrW(Buttons[i], GWL_STYLE);
        style = tabStop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        SetWindowLongPtrW(Buttons[i], GWL_STYLE, style);
    }
}

void TRadioGroup::SetBounds(int left, int top, int width, int height) {
    TWinControl::SetBounds(left, top, width, height);
    ArrangeButtons();
}

void TRadioGroup::FontChanged() {
    for (HWND button : Buttons)
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
    ArrangeButtons();
    InvalidateRect(Handle(), nullptr, TRUE);
}

int TRadioGroup::TextHeight() const {
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, Font());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    return tm.tmHeight;
}

void TRadioGroup::ArrangeButtons() {
    if (Buttons.empty())
        return;
    // Below the caption line the height is shared evenly among the rows; the
    // remainder goes half above the first row.
    const int count = static_cast<int>(Buttons.size());
    const int perColumn = (count + ColumnCount - 1) / ColumnCount;
    const int textHeight = TextHeight();
    const int buttonWidth = (Width() - 10) / ColumnCount;
    const int rowsHeight = Height() - textHeight - 5;
    const int buttonHeight = rowsHeight / perColumn;
    const int topMargin = textHeight + 1 + (rowsHeight % perColumn) / 2;
    for (int i = 0; i < count; ++i) {
        int left = (i / perColumn) * buttonWidth + 8;
        int top = (i % perColumn) * buttonHeight + topMargin;
        SetWindowPos(Buttons[static_cast<size_t>(i)], nullptr, left, top, buttonWidth, buttonHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TRadioGroup::Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HGDIOBJ oldFont = SelectObject(dc, Font());
    const int textHeight = TextHeight();
    // An etched frame whose top line runs through the middle of the caption.
    RECT frame{0, textHeight / 2 - 1, Width(), Height()};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!Text.empty()) {
        RECT r{8, 0, 8, textHeight};
        DrawTextW(dc, Text.c_str(), static_cast<int>(Text.size()), &r,
                  DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        DrawTextW(dc, Text.c_str(), static_cast<int>(Text.size()), &r, DT_LEFT | DT_SINGLELINE);
    }
    SelectObject(dc, oldFont);
    EndPaint(window, &ps);
}

LRESULT TRadioGroup::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_COMMAND: {
        HWND from = reinterpret_cast<HWND>(lParam);
        auto it = std::find(Buttons.begin(), Buttons.end(), from);
        if (it != Buttons.end() && HIWORD(wParam) == BN_CLICKED) {
            int chosen = static_cast<int>(it - Buttons.begin());
            Dispatch([this, chosen] { SetItemIndex(chosen); });
            return 0;
        }
        break;
    }
    case WM_SETFOCUS:
        // The group itself takes no keys: the focus goes on to its current button.
        if (!Buttons.empty()) {
            ::SetFocus(Buttons[static_cast<size_t>(std::max(Index, 0))]);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK TRadioGroup::StaticWndProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    TRadioGroup* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<TRadioGroup*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<TRadioGroup*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    try {
        result = self->WndProc(window, message, wParam, lParam);
    } catch (...) {
        HandleEventException(std::current_exception());
    }
    return result;
}
