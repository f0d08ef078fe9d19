#include "components/Dialogs.h"

#include "components/Application.h"
#include "components/Graphics.h"
#include "components/Text.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace {

// Long enough for any path the system's dialog returns.
constexpr size_t FileNameCapacity = 32768;

constexpr WORD StandardControlsId = 0x045f; // stc32: where the system's controls go
constexpr WORD PreviewId = 1200;
constexpr WORD SizeTextId = 1201;

// What the preview pane shows: the selected file's picture, when it loads.
struct TPreview {
    bool Wide = false;
    TPicture Picture;
    bool HasPicture = false;
};

// A dialog template in memory, as the system reads it: a header, then one entry per
// control, each on a 32-bit boundary.
class TDialogTemplate {
public:
    TDialogTemplate(DWORD style, short cx, short cy, WORD count) {
        PutLong(style);
        PutLong(0); // extended style
        Words.push_back(count);
        PutRect(0, 0, cx, cy);
        Words.insert(Words.end(), {0, 0, 0}); // no menu, default class, no title
    }

    void AddControl(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom) {
        if (Words.size() % 2)
            Words.push_back(0);
        PutLong(WS_CHILD | WS_VISIBLE | style);
        PutLong(0); // extended style
        PutRect(x, y, cx, cy);
        Words.push_back(id);
        Words.insert(Words.end(), {0xffff, classAtom, 0 /* no title */, 0 /* no data */});
    }

    // The system reads the template while the dialog runs: the memory stays where
    // it is as long as nothing is added.
    void* Data() { return Words.data(); }

private:
    void PutLong(DWORD value) {
        Words.push_back(LOWORD(value));
        Words.push_back(HIWORD(value));
    }
    void PutRect(short x, short y, short cx, short cy) {
        for (short v : {x, y, cx, cy})
            Words.push_back(static_cast<WORD>(v));
    }

    std::vector<WORD> Words;
};

// The pane to the right of the system's controls: the size text above the picture.
TDialogTemplate PreviewTemplate() {
    TDialogTemplate t(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL, 112, 120,
                      3);
    // As tall as the pane and no wider than nothing: the system's controls grow it to
    // their size and push the pane to their right.
    t.AddControl(0, 0, 0, 0, 120, StandardControlsId, 0x0082);
    t.AddControl(SS_CENTER, 6, 10, 100, 10, SizeTextId, 0x0082);
    t.AddControl(SS_OWNERDRAW, 6, 22, 100, 92, PreviewId, 0x0082);
    return t;
}

void ShowSelection(HWND hook, TPreview& preview) {
    HWND dialog = GetParent(hook);
    std::string path;
    if (preview.Wide) {
        std::vector<wchar_t> buffer(FileNameCapacity, L'\0');
        SendMessageW(dialog, CDM_GETFILEPATH, buffer.size(),
                     reinterpret_cast<LPARAM>(buffer.data()));
        path = WideToAnsi(buffer.data());
    } else {
        std::vector<char> buffer(FileNameCapacity, '\0');
        SendMessageA(dialog, CDM_GETFILEPATH, buffer.size(),
                     reinterpret_cast<LPARAM>(buffer.data()));
        path = buffer.data();
    }
    preview.HasPicture = false;
    std::wstring sizeText;
    // Whatever is not a picture the loader takes (a folder, another kind of file, a
    // damaged one) shows an empty pane.
    try {
        if (!path.empty()) {
            preview.Picture.LoadFromFile(path);
            preview.Picture.Bitmap().SetPixelFormat(TPixelFormat::pf24bit);
            preview.HasPicture = !preview.Picture.Bitmap().Empty();
        }
    } catch (const Exception&) {
    }
    if (preview.HasPicture)
        sizeText = std::to_wstring(preview.Picture.Width()) + L" x " +
                   std::to_wstring(preview.Picture.Height());
    SetDlgItemTextW(hook, SizeTextId, sizeText.c_str());
    InvalidateRect(GetDlgItem(hook, PreviewId), nullptr, TRUE);
}

void DrawPreview(const DRAWITEMSTRUCT& item, const TPreview& preview) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (!preview.HasPicture)
        return;
    // Shrunk to fit, keeping its proportions; a small picture keeps its size.
    const TDib& dib = preview.Picture.Bitmap().Dib();
    const int boxW = r.right - r.left;
    const int boxH = r.bottom - r.top;
    double scale = std::min({1.0, double(boxW) / dib.Width, double(boxH) / dib.Height});
    int w = std::max(1, int(dib.Width * scale));
    int h = std::max(1, int(dib.Height * scale));
    int x = r.left + (boxW - w) / 2;
    int y = r.top + (boxH - h) / 2;
    const TDibInfo info = MakeDibInfo(dib);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, x, y, w, h, 0, 0, dib.Width, dib.Height, dib.Bits.data(), info.Info(),
                  DIB_RGB_COLORS, SRCCOPY);
}

// The system places the dialog at its owner's corner, which for a small owner near
// the screen's middle leaves much of it off the screen.
void CentreOnWorkArea(HWND dialog) {
    RECT r;
    GetWindowRect(dialog, &r);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &mi);
    const RECT& area = mi.rcWork;
    int w = r.right - r.left;
    int h = r.bottom - r.top;
    int left = std::max(area.left, area.left + (area.right - area.left - w) / 2);
    int top = std::max(area.top, area.top + (area.bottom - area.top - h) / 2);
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT_PTR CALLBACK PreviewHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    // Nothing may unwind into the system's dialog.
    try {
        switch (message) {
        case WM_INITDIALOG: {
            auto* preview = reinterpret_cast<TPreview*>(
                reinterpret_cast<const OPENFILENAMEA*>(lParam)->lCustData);
            SetWindowLongPtrW(hook, DWLP_USER, reinterpret_cast<LONG_PTR>(preview));
            return FALSE;
        }
        case WM_NOTIFY: {
            auto* preview = reinterpret_cast<TPreview*>(GetWindowLongPtrW(hook, DWLP_USER));
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (preview && header->code == CDN_SELCHANGE)
                ShowSelection(hook, *preview);
            if (header->code == CDN_INITDONE)
                CentreOnWorkArea(GetParent(hook));
            return 0;
        }
        case WM_DRAWITEM: {
            auto* preview = reinterpret_cast<TPreview*>(GetWindowLongPtrW(hook, DWLP_USER));
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (preview && item->CtlID == PreviewId) {
                DrawPreview(*item, *preview);
                return TRUE;
            }
            return FALSE;
        }
        default:
            return 0;
        }
    } catch (...) {
        return 0;
    }
}

DWORD DialogFlags() {
    // The typed name need not exist; the read-only box is hidden; resizable; the
    // preview pane comes as a template with its hook.
    return OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_ENABLEHOOK |
           OFN_ENABLETEMPLATEHANDLE;
}

HWND OwnerWindow(TComponent* owner) {
    if (auto* form = dynamic_cast<TForm*>(owner))
        return form->Handle();
    return Application->Handle();
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

bool TOpenPictureDialog::ExecuteAnsi(const std::string& filter) {
    std::vector<char> buffer(FileNameCapacity, '\0');
    FileName.copy(buffer.data(), buffer.size() - 1);
    TDialogTemplate pane = PreviewTemplate();
    TPreview preview;
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = OwnerWindow(Owner());
    ofn.hInstance = static_cast<HINSTANCE>(pane.Data());
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.Flags = DialogFlags();
    ofn.lCustData = reinterpret_cast<LPARAM>(&preview);
    ofn.lpfnHook = PreviewHook;
    if (!GetOpenFileNameA(&ofn))
        return false;
    FileName = buffer.data();
    return true;
}

bool TOpenPictureDialog::ExecuteWide(const std::wstring& filter) {
    std::vector<wchar_t> buffer(FileNameCapacity, L'\0');
    AnsiToWide(FileName).copy(buffer.data(), buffer.size() - 1);
    TDialogTemplate pane = PreviewTemplate();
    TPreview preview;
    preview.Wide = true;
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = OwnerWindow(Owner());
    ofn.hInstance = static_cast<HINSTANCE>(pane.Data());
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.Flags = DialogFlags();
    ofn.lCustData = reinterpret_cast<LPARAM>(&preview);
    ofn.lpfnHook = PreviewHook;
    if (!GetOpenFileNameW(&ofn))
        return false;
    FileName = WideToAnsi(buffer.data());
    return true;
}
