#include "shell/WindowOps.h"

void AddLayeredStyle(HWND window) {
    LONG style = GetWindowLongA(window, GWL_EXSTYLE);
    SetWindowLongA(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
}

void RemoveLayeredStyle(HWND window) {
    LONG style = GetWindowLongA(window, GWL_EXSTYLE);
    SetWindowLongA(window, GWL_EXSTYLE, style & ~WS_EX_LAYERED);
}

bool HasLayeredStyle(HWND window) {
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

void SetWindowAlpha(HWND window, std::int32_t value) {
    auto alpha = static_cast<BYTE>(static_cast<std::uint32_t>(value) & 0xFF);
    SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA);
}

bool AnswersMessages(HWND window, unsigned timeoutMs) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}
