#include "components/Dialogs.h"

#include "components/Application.h"
#include "components/Text.h"

#include <windows.h>

#include <commdlg.h>

#include <vector>

namespace {

// Long enough for any path the system's dialog returns.
constexpr size_t FileNameCapacity = 32768;

DWORD DialogFlags() {
    // The typed name need not exist; the read-only box is hidden; resizable.
    return OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
}

} // namespace

std::wstring FilterForDialog(const std::wstring& filter) {
    std::wstring result = filter;
    for (wchar_t& c : result) {
        if (c == L'|')
            c = L'\0';
    }
    result.push_back(L'\0');
    result.push_back(L'\0');
    return result;
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TComponent(owner) {}

bool TOpenPictureDialog::Execute() {
    std::wstring filter = FilterForDialog(Filter);
    // The designed A function keeps the path in the ANSI code page end to end; only
    // when that code page cannot spell the filter is the dialog run through the W
    // function, so that the user still reads it correctly.
    std::string ansiFilter = WideToAnsi(filter);
    if (AnsiToWide(ansiFilter) == filter)
        return ExecuteAnsi(ansiFilter);
    return ExecuteWide(filter);
}

namespace {

HWND OwnerWindow(TComponent* owner) {
    if (auto* form = dynamic_cast<TForm*>(owner))
        return form->Handle();
    return Application->Handle();
}

} // namespace

bool TOpenPictureDialog::ExecuteAnsi(const std::string& filter) {
    std::vector<char> buffer(FileNameCapacity, '\0');
    FileName.copy(buffer.data(), buffer.size() - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = OwnerWindow(Owner());
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.Flags = DialogFlags();
    if (!GetOpenFileNameA(&ofn))
        return false;
    FileName = buffer.data();
    return true;
}

bool TOpenPictureDialog::ExecuteWide(const std::wstring& filter) {
    std::vector<wchar_t> buffer(FileNameCapacity, L'\0');
    AnsiToWide(FileName).copy(buffer.data(), buffer.size() - 1);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = OwnerWindow(Owner());
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.Flags = DialogFlags();
    if (!GetOpenFileNameW(&ofn))
        return false;
    FileName = WideToAnsi(buffer.data());
    return true;
}
