#include "components/Button.h"

#include "components/Dispatch.h"

#include <vector>

TButton::TButton(TForm* owner) : TWinControl(owner) {
    CreateHandle(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP);
}

std::wstring TButton::Caption() const {
    int n = GetWindowTextLengthW(Handle());
    std::vector<wchar_t> text(static_cast<size_t>(n) + 1);
    GetWindowTextW(Handle(), text.data(), n + 1);
    return text.data();
}

void TButton::SetCaption(const std::wstring& caption) {
    SetWindowTextW(Handle(), caption.c_str());
}

void TButton::Click() {
    if (OnClick)
        OnClick(this);
}

void TButton::Notify(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
        Dispatch([this] { Click(); });
}
