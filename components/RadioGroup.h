// The radio group: a framed, captioned box of radio buttons of which at most one is
// selected. Its items fill the first column top to bottom, then the next.
#pragma once

#include "components/WinControl.h"

#include <string>
#include <vector>

class TRadioGroup : public TWinControl {
public:
    explicit TRadioGroup(TForm* owner);
    ~TRadioGroup() override;

    std::wstring Caption() const { return Text; }
    void SetCaption(const std::wstring& caption);

    // Replaces the items; the selection goes (index -1) without an event.
    void SetItems(const std::vector<std::wstring>& items);
    const std::vector<std::wstring>& Items() const { return ItemTexts; }

    int Columns() const { return ColumnCount; }
    void SetColumns(int columns);

    // -1 while nothing is selected.
    int ItemIndex() const { return Index; }
    // Clamps the value into -1 to the item count minus one. A clamped value equal to
    // the current index does nothing. Otherwise the selection moves; when the new
    // index is 0 or more, OnClick runs before this returns. -1 raises no event.
    void SetItemIndex(int value);

    // After the selection moved to an item, by assignment or by the user (a click,
    // an arrow key, an accelerator).
    TNotifyEvent OnClick;

    void SetBounds(int left, int top, int width, int height) override;

    HWND ButtonHandle(int index) const { return Buttons.at(static_cast<size_t>(index)); }

protected:
    void FontChanged() override;

private:
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HWND window);
    int TextHeight() const;
    void ArrangeButtons();
    void UpdateButtons();

    std::wstring Text;
    std::vector<std::wstring> ItemTexts;
    // Child windows of the group's window: the system destroys them with it.
    std::vector<HWND> Buttons;
    int ColumnCount = 1;
    int Index = -1;
};
