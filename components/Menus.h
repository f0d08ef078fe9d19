// The popup menu and its items.
#pragma once

#include "components/Classes.h"

#include <string>
#include <vector>

class TMenuItem : public TComponent {
public:
    TMenuItem(TComponent* owner, std::wstring caption);

    // The caption "-" makes the item a separator line.
    std::wstring Caption;
    TNotifyEvent OnClick;

    bool IsSeparator() const { return Caption == L"-"; }
    void Click();
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner);

    void Add(TMenuItem* item) { Items.push_back(item); }
    const std::vector<TMenuItem*>& MenuItems() const { return Items; }

    // Opens the menu at a screen point and runs the chosen item's click event
    // before returning; nothing runs when the menu is dismissed.
    void Popup(int x, int y);

private:
    std::vector<TMenuItem*> Items;
};

// Used by forms to open a control's popup menu.
void PopupMenuAt(TPopupMenu* menu, int x, int y);
