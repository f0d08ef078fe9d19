// The push button. Its caption may carry an "&" before the letter that, with Alt,
// clicks it.
#pragma once

#include "components/WinControl.h"

#include <string>

class TButton : public TWinControl {
public:
    explicit TButton(TForm* owner);

    std::wstring Caption() const;
    void SetCaption(const std::wstring& caption);

    // Clicked by the mouse, by Space or Enter while it has the focus, or by its
    // accelerator; runs OnClick.
    void Click();
    TNotifyEvent OnClick;

    void Notify(UINT message, WPARAM wParam, LPARAM lParam) override;
};
