#include "components/Menus.h"

#include "components/Application.h"
#include "components/Dispatch.h"

#include <windows.h>

namespace {

class TMenuHandle {
public:
    TMenuHandle() : Menu(CreatePopupMenu()) {}
    ~TMenuHandle() {
        if (Menu)
            DestroyMenu(Menu);
    }
    TMenuHandle(const TMenuHandle&) = delete;
    TMenuHandle& operator=(const TMenuHandle&) = delete;
    HMENU Get() const { return Menu; }

private:
    HMENU Menu;
};

} // namespace

TMenuItem::TMenuItem(TComponent* owner, std::wstring caption)
    : TComponent(owner), Caption(std::move(caption)) {}

void TMenuItem::Click() {
    if (OnClick)
        OnClick(this);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

void TPopupMenu::Popup(int x, int y) {
    TMenuHandle menu;
    if (!menu.Get())
        return;
    for (size_t i = 0; i < Items.size(); ++i) {
        if (Items[i]->IsSeparator())
            AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu.Get(), MF_STRING, i + 1, Items[i]->Caption.c_str());
    }
    // The menu's owner must be the foreground window, or the menu does not close
    // when the user clicks elsewhere.
    auto* form = dynamic_cast<TForm*>(Owner());
    HWND owner = form ? form->Handle() : Application->Handle();
    SetForegroundWindow(owner);
    UINT command = TrackPopupMenu(menu.Get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y,
                                  0, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
    if (command > 0 && command <= Items.size()) {
        TMenuItem* item = Items[command - 1];
        Dispatch([item] { item->Click(); });
    }
}

void PopupMenuAt(TPopupMenu* menu, int x, int y) {
    menu->Popup(x, y);
}
