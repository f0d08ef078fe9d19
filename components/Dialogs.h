// The open-picture dialog: the system's modal file-open dialog, run for its owner
// form, with a pane that previews the selected bitmap, giving back the chosen file's
// full path.
#pragma once

#include "components/Classes.h"

#include <string>

class TOpenPictureDialog : public TComponent {
public:
    explicit TOpenPictureDialog(TComponent* owner);

    // Pairs of description and pattern, every part separated by "|":
    // "ビットマップ (*.bmp)|*.bmp".
    std::wstring Filter;
    // The full path chosen by the last successful Execute, in the ANSI code page; it
    // is also where the next Execute starts. The chosen file need not exist.
    std::string FileName;

    // Runs the dialog modally over the owner form. False when the user cancels.
    bool Execute();

private:
    bool ExecuteAnsi(const std::string& filter);
    bool ExecuteWide(const std::wstring& filter);
};

// The filter's parts separated by NULs and ended by two, as the system's dialog
// takes them.
std::wstring FilterForDialog(const std::wstring& filter);
