#include "components/Application.h"

#include "components/Dispatch.h"

namespace {

const wchar_t AppWindowClass[] = L"TApplication";

LRESULT CALLBACK AppWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

TApplication TheApplication;

} // namespace

TApplication* Application = &TheApplication;

TApplication::~TApplication() {
    DestroyForms();
}

void TApplication::Initialize() {
    if (Window)
        return;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = AppWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = AppWindowClass;
    wc.hIcon = LoadIconW(instance, L"MAINICON");
    RegisterClassW(&wc);
    // Never shown: it only owns the forms, so that no form gets a taskbar button of
    // its own.
    Window.Reset(CreateWindowExW(0, AppWindowClass, AppTitle.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                                 nullptr, instance, nullptr));
}

void TApplication::SetTitle(const std::wstring& title) {
    AppTitle = title;
    if (Window)
        SetWindowTextW(Window.Get(), AppTitle.c_str());
}

void TApplication::AddForm(TForm* form, std::function<void()> clearReference) {
    Forms.push_back({std::unique_ptr<TForm>(form), std::move(clearReference)});
    if (!Main)
        Main = form;
}

TForm* TApplication::FindForm(HWND window) const {
    for (const TFormEntry& entry : Forms) {
        if (entry.Form->Handle() == window)
            return entry.Form.get();
    }
    return nullptr;
}

void TApplication::DestroyForms() {
    while (!Forms.empty()) {
        TFormEntry entry = std::move(Forms.back());
        Forms.pop_back();
        entry.ClearReference();
        entry.Form.reset();
    }
    Main = nullptr;
    // Without forms there is no loop to have ended: the next main form starts afresh.
    IsTerminated = false;
}

void TApplication::Run() {
    // A Terminate before the loop still ends it: its WM_QUIT waits in the queue.
    IsTerminated = false;
    if (Main)
        Main->Show();
    while (!IsTerminated)
        HandleMessage(true);
}

void TApplication::ProcessMessages() {
    while (!IsTerminated && HandleMessage(false)) {
    }
}

bool TApplication::HandleMessage(bool wait) {
    MSG msg;
    if (wait) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            IsTerminated = true;
            return false;
        }
    } else {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            return false;
        if (msg.message == WM_QUIT) {
            IsTerminated = true;
            return false;
        }
    }
    // Forms with windowed controls get the dialog keys: Tab order and the "&"
    // accelerators.
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    TForm* form = root ? FindForm(root) : nullptr;
    if (form && form->DialogKeys() && IsDialogMessageW(root, &msg))
        return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void TApplication::Terminate() {
    IsTerminated = true;
    // A popup menu's own message loop does not stop at the quit request: without this
    // the program would go on until the user dismissed a menu that was open.
    EndMenu();
    PostQuitMessage(0);
}

void TApplication::ShowException(const Exception& e) {
    std::wstring text = DisplayText(e.Message);
    MessageBoxW(Window.Get(), text.c_str(), AppTitle.c_str(), MB_OK | MB_ICONERROR);
}
