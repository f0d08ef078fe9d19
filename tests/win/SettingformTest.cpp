// The settings dialog in-process: its layout, the keyboard, the clamping of FormShow,
// and Save, Cancel and the picture change against a real settings file and the real
// open dialog.
#include "WinTestSupport.h"
#include "components/Application.h"
#include "components/Text.h"
#include "forms/Logoform.h"
#include "forms/Mainform.h"
#include "forms/Settingform.h"
#include "forms/Settings.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

// Handles messages the way the program's loop does (dialog keys included) until the
// predicate holds.
bool PumpApp(const std::function<bool()>& predicate,
             std::chrono::milliseconds timeout = std::chrono::milliseconds(2000)) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        Application->ProcessMessages();
        if (predicate())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        Sleep(5);
    }
}

void PressKey(WORD key, bool alt = false, bool shift = false) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    };
    if (alt)
        add(VK_MENU, false);
    if (shift)
        add(VK_SHIFT, false);
    add(key, false);
    add(key, true);
    if (shift)
        add(VK_SHIFT, true);
    if (alt)
        add(VK_MENU, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A 24-bit bitmap file of the given size, one colour.
void WriteBmp(const std::string& path, int width, int height) {
    WriteFileBytes(path, Bmp24(width, height, [](int, int) { return RGB(0x40, 0x40, 0x40); }));
}

std::string TempPath(const std::string& name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// A user at the open dialog, on a second thread: types a path into the file name box
// and presses Enter, or cancels when the path is empty; then reads and dismisses the
// message box that may follow.
class TOpenDialogUser {
public:
    // With a name to select, the user first clicks that file in the list, and the
    // preview pane's size text is recorded.
    explicit TOpenDialogUser(std::string typed, std::wstring select = L"")
        : Typed(std::move(typed)), Select(std::move(select)) {
        Worker = std::thread([this] { Run(); });
    }
    ~TOpenDialogUser() { Finish(); }
    void Finish() {
        Stop = true;
        if (Worker.joinable())
            Worker.join();
    }

    HWND Owner = nullptr;
    std::wstring FilterShown;
    std::wstring PreviewText;
    TSeenMessageBox Box;

private:
    static HWND FindDialog() {
        struct TFind {
            HWND Found = nullptr;
        } find;
        EnumWindows(
            [](HWND w, LPARAM p) -> BOOL {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                wchar_t cls[64] = {};
                GetClassNameW(w, cls, 64);
                if (pid == GetCurrentProcessId() && std::wstring(cls) == L"#32770" &&
                    IsWindowVisible(w)) {
                    reinterpret_cast<TFind*>(p)->Found = w;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&find));
        return find.Found;
    }

    HWND WaitForDialog() {
        for (int i = 0; i < 500 && !Stop; ++i) {
            if (HWND dialog = FindDialog())
                return dialog;
            Sleep(20);
        }
        return nullptr;
    }

    void SelectInList(HWND dialog) {
        HWND view = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr);
        HWND list = view ? FindWindowExW(view, nullptr, L"SysListView32", nullptr) : nullptr;
        LVFINDINFOW find{};
        find.flags = LVFI_STRING;
        find.psz = Select.c_str();
        auto index = SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(&find));
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = item.stateMask;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        HWND pane = FindWindowExW(dialog, nullptr, L"#32770", nullptr);
        for (int i = 0; i < 50 && PreviewText.empty(); ++i) {
            Sleep(20);
            wchar_t text[64] = {};
            GetDlgItemTextW(pane, 1201 /* size text */, text, 64);
            PreviewText = text;
        }
    }

    void Run() {
        HWND dialog = WaitForDialog();
        if (!dialog)
            return;
        Sleep(100);
        Owner = GetWindow(dialog, GW_OWNER);
        wchar_t filter[256] = {};
        GetWindowTextW(GetDlgItem(dialog, 0x470 /* file type box */), filter, 256);
        FilterShown = filter;
        if (!Select.empty())
            SelectInList(dialog);
        if (Typed.empty()) {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        HWND nameBox = GetDlgItem(dialog, 0x47c);
        if (!nameBox)
            nameBox = GetDlgItem(dialog, 0x480);
        SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Typed.c_str()));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        // A message box of the application may follow the closed dialog.
        for (int i = 0; i < 50 && !Stop; ++i) {
            HWND next = FindDialog();
            if (next && next != dialog) {
                Sleep(50);
                Box.Seen = true;
                wchar_t text[1024] = {};
                GetWindowTextW(next, text, 1024);
                Box.Caption = text;
                EnumChildWindows(
                    next,
                    [](HWND child, LPARAM p) -> BOOL {
                        wchar_t cls[64] = {};
                        GetClassNameW(child, cls, 64);
                        wchar_t t[1024] = {};
                        GetWindowTextW(child, t, 1024);
                        if (std::wstring(cls) == L"Static" && t[0])
                            reinterpret_cast<TSeenMessageBox*>(p)->Text = t;
                        return TRUE;
                    },
                    reinterpret_cast<LPARAM>(&Box));
                PostMessageW(next, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(20);
        }
    }

    std::string Typed;
    std::wstring Select;
    std::atomic<bool> Stop{false};
    std::thread Worker;
};

class SettingDialog : public testing::Test {
protected:
    void SetUp() override {
        Application->CreateForm(FmMain);
        Application->CreateForm(FmSetting);
        Application->CreateForm(FmLogo);
    }
    void TearDown() override { Application->DestroyForms(); }

    // Clicks a button as the mouse would, through its window.
    static void Click(TButton* button) { SendMessageW(button->Handle(), BM_CLICK, 0, 0); }

    static RECT ClientRectOf(HWND control) {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    // Removes the settings file before the forms are created and after they go.
    TSettingsFileGuard Guard;
};

TEST_F(SettingDialog, WindowAndControlsAsDesigned) {
    HWND h = FmSetting->Handle();
    wchar_t caption[32] = {};
    GetWindowTextW(h, caption, 32);
    EXPECT_STREQ(caption, L"設定");
    EXPECT_EQ(FmSetting->ClientWidth(), 265);
    EXPECT_EQ(FmSetting->ClientHeight(), 113);
    LONG style = GetWindowLongW(h, GWL_STYLE);
    EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_FALSE(FmSetting->Visible());

    struct TPlace {
        TWinControl* Control;
        RECT Bounds;
        int TabOrder;
    };
    const std::vector<TPlace> windowed = {
        {FmSetting->ScrollBarX, {136, 16, 257, 26}, 0},
        {FmSetting->ScrollBarY, {136, 40, 257, 50}, 1},
        {FmSetting->RadioGroup1, {8, 8, 129, 75}, 2},
        {FmSetting->Button1, {184, 88, 259, 108}, 3},
        {FmSetting->Button2, {110, 88, 185, 108}, 4},
        {FmSetting->Button3, {24, 88, 99, 108}, 5},
        {FmSetting->ScrollBar1, {136, 64, 257, 74}, 6},
    };
    for (const TPlace& p : windowed) {
        SCOPED_TRACE(p.TabOrder);
        RECT r = ClientRectOf(p.Control->Handle());
        EXPECT_TRUE(EqualRect(&r, &p.Bounds))
            << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        EXPECT_EQ(p.Control->TabOrder(), p.TabOrder);
    }
    EXPECT_EQ(FmSetting->Button3->Caption(), L"画像入替(&G)");
    EXPECT_EQ(FmSetting->Button2->Caption(), L"保存(&S)");
    EXPECT_EQ(FmSetting->Button1->Caption(), L"ｷｬﾝｾﾙ(&C)");

    // Ranges and creation positions.
    EXPECT_EQ(FmSetting->ScrollBarX->Min(), -200);
    EXPECT_EQ(FmSetting->ScrollBarX->Max(), 200);
    EXPECT_EQ(FmSetting->ScrollBarY->Position(), 0);
    EXPECT_EQ(FmSetting->ScrollBar1->Min(), 50);
    EXPECT_EQ(FmSetting->ScrollBar1->Max(), 250);
    EXPECT_EQ(FmSetting->ScrollBar1->Position(), 200);

    // The radio group: caption, item 0 selected, and the items in two columns filled
    // top to bottom, so each stands where its corner lies.
    TRadioGroup* group = FmSetting->RadioGroup1;
    EXPECT_EQ(group->Caption(), L"基準座標");
    EXPECT_EQ(group->ItemIndex(), 0);
    const wchar_t* items[] = {L"左上", L"左下", L"右上", L"右下"};
    std::vector<RECT> at;
    for (int i = 0; i < 4; ++i) {
        wchar_t text[16] = {};
        GetWindowTextW(group->ButtonHandle(i), text, 16);
        EXPECT_STREQ(text, items[i]);
        at.push_back(ClientRectOf(group->ButtonHandle(i)));
    }
    EXPECT_EQ(at[0].left, at[1].left);
    EXPECT_LT(at[0].top, at[1].top);
    EXPECT_EQ(at[2].left, at[3].left);
    EXPECT_GT(at[2].left, at[0].left);
    EXPECT_EQ(at[0].top, at[2].top);

    // Labels grow to the right from their left edges.
    struct TText {
        TLabel* Label;
        int Left, Top;
        const wchar_t* Caption;
    };
    const std::vector<TText> labels = {
        {FmSetting->Label1, 136, 5, L"X軸の補正"},     {FmSetting->Label3, 233, 5, L"±0"},
        {FmSetting->Label2, 136, 29, L"Y軸の補正"},    {FmSetting->Label4, 233, 29, L"±0"},
        {FmSetting->Label5, 136, 53, L"透明時可視度"}, {FmSetting->Label6, 240, 53, L"200"},
    };
    for (const TText& t : labels) {
        EXPECT_EQ(t.Label->Left(), t.Left);
        EXPECT_EQ(t.Label->Top(), t.Top);
        EXPECT_EQ(t.Label->Caption(), t.Caption);
        EXPECT_EQ(t.Label->Font().Height, 11);
    }
    EXPECT_EQ(FmSetting->OpenPictureDialog1->Filter, L"ビットマップ (*.bmp)|*.bmp");
}

TEST_F(SettingDialog, FormShowClampsOnlyWhenTheControlMoves) {
    struct TState {
        int X, Y, Level, Index;
    };
    struct TShowCase {
        const char* Name;
        TState Controls;      // before the showing
        TState Settings;      // OffsetLeft, OffsetTop, TransLevel, BaseCorner before
        TState ControlsAfter; // bars and selection after
        TState SettingsAfter;
        const wchar_t* Label3;
        const wchar_t* Label4;
        const wchar_t* Label6;
    };
    const std::vector<TShowCase> cases = {
        {"in range",
         {0, 0, 200, 0},
         {-37, 37, 120, 2},
         {-37, 37, 120, 2},
         {-37, 37, 120, 2},
         L"-37",
         L"+37",
         L"120"},
        {"zero",
         {5, 5, 200, 0},
         {0, 0, 200, 0},
         {0, 0, 200, 0},
         {0, 0, 200, 0},
         L"±0",
         L"±0",
         L"200"},
        {"offsets beyond, bars move",
         {0, 0, 200, 0},
         {500, -500, 200, 0},
         {200, -200, 200, 0},
         {200, -200, 200, 0},
         L"+200",
         L"-200",
         L"200"},
        {"offsets beyond, bars already at the end",
         {200, -200, 200, 0},
         {500, -500, 200, 0},
         {200, -200, 200, 0},
         {500, -500, 200, 0},
         L"+500",
         L"-500",
         L"200"},
        {"level above, bar moves",
         {0, 0, 200, 0},
         {0, 0, 255, 0},
         {0, 0, 250, 0},
         {0, 0, 250, 0},
         L"±0",
         L"±0",
         L"250"},
        {"level above, bar already at the end",
         {0, 0, 250, 0},
         {0, 0, 255, 0},
         {0, 0, 250, 0},
         {0, 0, 255, 0},
         L"±0",
         L"±0",
         L"250"},
        {"level below",
         {0, 0, 200, 0},
         {0, 0, 30, 0},
         {0, 0, 50, 0},
         {0, 0, 50, 0},
         L"±0",
         L"±0",
         L"50"},
        {"corner above, selection moves",
         {0, 0, 200, 0},
         {0, 0, 200, 7},
         {0, 0, 200, 3},
         {0, 0, 200, 3},
         L"±0",
         L"±0",
         L"200"},
        {"corner above, last item already selected",
         {0, 0, 200, 3},
         {0, 0, 200, 7},
         {0, 0, 200, 3},
         {0, 0, 200, 7},
         L"±0",
         L"±0",
         L"200"},
        {"corner negative",
         {0, 0, 200, 2},
         {0, 0, 200, -1},
         {0, 0, 200, -1},
         {0, 0, 200, -1},
         L"±0",
         L"±0",
         L"200"},
    };
    for (const TShowCase& c : cases) {
        SCOPED_TRACE(c.Name);
        FmSetting->ScrollBarX->SetPosition(c.Controls.X);
        FmSetting->ScrollBarY->SetPosition(c.Controls.Y);
        FmSetting->ScrollBar1->SetPosition(c.Controls.Level);
        FmSetting->RadioGroup1->SetItemIndex(c.Controls.Index);
        FmMain->OffsetLeft = c.Settings.X;
        FmMain->OffsetTop = c.Settings.Y;
        FmMain->TransLevel = c.Settings.Level;
        FmMain->BaseCorner = c.Settings.Index;

        FmSetting->Show();
        EXPECT_EQ(FmSetting->ScrollBarX->Position(), c.ControlsAfter.X);
        EXPECT_EQ(FmSetting->ScrollBarY->Position(), c.ControlsAfter.Y);
        EXPECT_EQ(FmSetting->ScrollBar1->Position(), c.ControlsAfter.Level);
        EXPECT_EQ(FmSetting->RadioGroup1->ItemIndex(), c.ControlsAfter.Index);
        EXPECT_EQ(GetScrollPos(FmSetting->ScrollBarX->Handle(), SB_CTL), c.ControlsAfter.X);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(SendMessageW(FmSetting->RadioGroup1->ButtonHandle(i), BM_GETCHECK, 0, 0),
                      i == c.ControlsAfter.Index ? BST_CHECKED : BST_UNCHECKED);
        }
        EXPECT_EQ(FmMain->OffsetLeft, c.SettingsAfter.X);
        EXPECT_EQ(FmMain->OffsetTop, c.SettingsAfter.Y);
        EXPECT_EQ(FmMain->TransLevel, c.SettingsAfter.Level);
        EXPECT_EQ(FmMain->BaseCorner, c.SettingsAfter.Index);
        EXPECT_EQ(FmSetting->Label3->Caption(), c.Label3);
        EXPECT_EQ(FmSetting->Label4->Caption(), c.Label4);
        EXPECT_EQ(FmSetting->Label6->Caption(), c.Label6);
        FmSetting->Hide();
    }
}

TEST_F(SettingDialog, CancelRereadsTheFileAndTheNextShowingKeepsTheBar) {
    WriteFileBytes(Guard.Path(), "[POSITION]\r\nLEFT=500\r\nTOP=-3\r\nPOS=1\r\n[VIEW]\r\n"
                                 "TLEVEL=99\r\n");
    FmMain->LoadSettings(0);
    FmSetting->Show();
    EXPECT_EQ(FmSetting->ScrollBarX->Position(), 200);
    EXPECT_EQ(FmMain->OffsetLeft, 200);
    EXPECT_EQ(FmSetting->Label3->Caption(), L"+200");

    Click(FmSetting->Button1);
    EXPECT_FALSE(FmSetting->Visible());
    EXPECT_EQ(FmMain->OffsetLeft, 500);
    EXPECT_EQ(FmMain->OffsetTop, -3);
    EXPECT_EQ(FmMain->BaseCorner, 1);
    EXPECT_EQ(FmMain->TransLevel, 99);
    // The controls are not reset by Cancel.
    EXPECT_EQ(FmSetting->ScrollBarX->Position(), 200);

    FmSetting->Show();
    EXPECT_EQ(FmSetting->ScrollBarX->Position(), 200);
    EXPECT_EQ(FmMain->OffsetLeft, 500);
    EXPECT_EQ(FmSetting->Label3->Caption(), L"+500");
}

TEST_F(SettingDialog, CancelWithoutFileGivesTheDefaults) {
    FmSetting->Show();
    FmSetting->ScrollBarX->SetPosition(-37);
    FmSetting->ScrollBarY->SetPosition(12);
    FmSetting->ScrollBar1->SetPosition(80);
    FmSetting->RadioGroup1->SetItemIndex(3);
    FmMain->PictureName = "C:\\somewhere.bmp";
    EXPECT_EQ(FmMain->OffsetLeft, -37);
    EXPECT_EQ(FmSetting->Label3->Caption(), L"-37");
    EXPECT_EQ(FmSetting->Label6->Caption(), L"80");

    Click(FmSetting->Button1);
    EXPECT_FALSE(FmSetting->Visible());
    EXPECT_EQ(FmMain->PictureName, "");
    EXPECT_EQ(FmMain->OffsetTop, 0);
    EXPECT_EQ(FmMain->OffsetLeft, 0);
    EXPECT_EQ(FmMain->BaseCorner, 0);
    EXPECT_EQ(FmMain->TransLevel, 200);
    // Reading creates no file.
    EXPECT_EQ(GetFileAttributesA(Guard.Path().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SettingDialog, SaveWritesTheLiveValuesAndClosesOnlyWhenWritten) {
    FmSetting->Show();
    FmSetting->ScrollBarX->SetPosition(-37);
    FmSetting->ScrollBarY->SetPosition(15);
    FmSetting->ScrollBar1->SetPosition(77);
    FmSetting->RadioGroup1->SetItemIndex(2);
    const char expected[] = "[PICTURE]\r\nNAME=\r\n[POSITION]\r\nTOP=15\r\nLEFT=-37\r\nPOS=2\r\n"
                            "[VIEW]\r\nTLEVEL=77\r\n";

    Click(FmSetting->Button2);
    EXPECT_FALSE(FmSetting->Visible());
    EXPECT_EQ(ReadFileBytes(Guard.Path()), expected);
    // Read back: the record holds what was written, and the character stands at its
    // load-time place.
    EXPECT_EQ(FmMain->OffsetLeft, -37);
    EXPECT_EQ(FmMain->TransLevel, 77);
    EXPECT_EQ(FmMain->Left(), -37);

    FmSetting->Show();
    Click(FmSetting->Button2);
    EXPECT_EQ(ReadFileBytes(Guard.Path()), expected);

    // Refused: another program holds the file open without sharing. The message
    // names the file; the dialog stays open with the live values, the file as it was.
    FmSetting->Show();
    FmSetting->ScrollBarX->SetPosition(150);
    HANDLE lock =
        CreateFileA(Guard.Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    TMessageBoxWatcher watcher;
    Click(FmSetting->Button2);
    TSeenMessageBox box = watcher.Finish();
    CloseHandle(lock);
    EXPECT_TRUE(box.Seen);
    EXPECT_EQ(box.Caption, Application->Title());
    EXPECT_EQ(box.Text, AnsiToWide(Guard.Path()) + L" に書き込めません.");
    EXPECT_TRUE(FmSetting->Visible());
    EXPECT_EQ(FmMain->OffsetLeft, 150);
    EXPECT_EQ(FmSetting->ScrollBarX->Position(), 150);
    EXPECT_EQ(ReadFileBytes(Guard.Path()), expected);
}

TEST_F(SettingDialog, TabOrderAndAcceleratorsFromTheKeyboard) {
    // The keys reach the controls through the application's own loop.
    ASSERT_FALSE(Application->Terminated()) << "an earlier test left the application ended";
    FmSetting->Show();
    ASSERT_TRUE(PumpApp([] { return GetForegroundWindow() == FmSetting->Handle(); }));
    ASSERT_TRUE(PumpApp([] { return GetFocus() == FmSetting->ScrollBarX->Handle(); }));

    const std::vector<HWND> order = {
        FmSetting->ScrollBarY->Handle(), FmSetting->RadioGroup1->ButtonHandle(0),
        FmSetting->Button1->Handle(),    FmSetting->Button2->Handle(),
        FmSetting->Button3->Handle(),    FmSetting->ScrollBar1->Handle(),
        FmSetting->ScrollBarX->Handle(),
    };
    for (size_t i = 0; i < order.size(); ++i) {
        PressKey(VK_TAB);
        EXPECT_TRUE(PumpApp([&] { return GetFocus() == order[i]; })) << "Tab " << i + 1;
    }
    PressKey(VK_TAB, false, true);
    EXPECT_TRUE(PumpApp([] { return GetFocus() == FmSetting->ScrollBar1->Handle(); }));

    // Keys on a scroll bar move it by 1, Page keys too, Home and End to the ends.
    SetFocus(FmSetting->ScrollBarX->Handle());
    struct TKeyCase {
        WORD Key;
        int Expected;
    };
    for (TKeyCase k : std::vector<TKeyCase>{{VK_RIGHT, 1},
                                            {VK_RIGHT, 2},
                                            {VK_LEFT, 1},
                                            {VK_NEXT, 2},
                                            {VK_PRIOR, 1},
                                            {VK_END, 200},
                                            {VK_HOME, -200}}) {
        PressKey(k.Key);
        EXPECT_TRUE(PumpApp([&] { return FmMain->OffsetLeft == k.Expected; }))
            << "key " << k.Key << " gave " << FmMain->OffsetLeft;
    }
    EXPECT_EQ(FmSetting->Label3->Caption(), L"-200");

    // Arrow keys inside the group select the next item and raise its click.
    SetFocus(FmSetting->RadioGroup1->ButtonHandle(0));
    PressKey(VK_DOWN);
    EXPECT_TRUE(PumpApp([] { return FmMain->BaseCorner == 1; }));
    EXPECT_EQ(FmSetting->RadioGroup1->ItemIndex(), 1);

    // Enter and Esc are nobody's: no default or cancel button.
    PressKey(VK_ESCAPE);
    PressKey(VK_RETURN);
    PumpApp([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_TRUE(FmSetting->Visible());

    // Alt+G opens the open dialog, over the settings dialog.
    {
        TOpenDialogUser user("");
        PressKey('G', true);
        PumpApp([&] { return user.Owner != nullptr; });
        user.Finish();
        EXPECT_EQ(user.Owner, FmSetting->Handle());
        EXPECT_EQ(user.FilterShown, L"ビットマップ (*.bmp)");
    }
    // Alt+S saves and closes.
    PressKey('S', true);
    EXPECT_TRUE(PumpApp([] { return !FmSetting->Visible(); }));
    EXPECT_NE(ReadFileBytes(Guard.Path()).find("LEFT=-200\r\n"), std::string::npos);

    // Alt+C cancels: the file's values come back.
    FmSetting->Show();
    ASSERT_TRUE(PumpApp([] { return GetForegroundWindow() == FmSetting->Handle(); }));
    FmSetting->ScrollBarX->SetPosition(5);
    PressKey('C', true);
    EXPECT_TRUE(PumpApp([] { return !FmSetting->Visible(); }));
    EXPECT_EQ(FmMain->OffsetLeft, -200);
}

struct TPictureCase {
    const char* Name;
    std::string FileNames; // what the settings file's NAME holds: "" none, or a path
    int WidthAfterCancel;
    int HeightAfterCancel;
};

TEST_F(SettingDialog, PictureChangeAndItsCancel) {
    const std::string chosen = TempPath("tomarin-chosen.bmp");
    const std::string named = TempPath("tomarin-named.bmp");
    WriteBmp(chosen, 40, 70);
    WriteBmp(named, 33, 21);
    // The open dialog previews the selected bitmap.
    {
        FmSetting->OpenPictureDialog1->FileName = chosen;
        FmSetting->Show();
        TOpenDialogUser user("", L"tomarin-chosen.bmp");
        Click(FmSetting->Button3);
        user.Finish();
        EXPECT_EQ(user.PreviewText, L"40 x 70");
        EXPECT_EQ(FmMain->PictureName, "");
    }
    const std::vector<TPictureCase> cases = {
        {"file names an existing picture", named, 33, 21},
        {"file names no picture", "", 90, 30},
        {"file names a missing picture", TempPath("tomarin-missing.bmp"), 90, 30},
    };
    for (const TPictureCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFileBytes(Guard.Path(), "[PICTURE]\r\nNAME=" + c.FileNames + "\r\n");
        FmMain->LoadSettings(0);
        const std::string before = ReadFileBytes(Guard.Path());
        FmSetting->Show();
        {
            TOpenDialogUser user(chosen);
            Click(FmSetting->Button3);
            user.Finish();
            EXPECT_FALSE(user.Box.Seen) << testing::PrintToString(user.Box.Text);
        }
        // The chosen picture shows at once, with its size; the file is untouched.
        EXPECT_EQ(FmMain->PictureName, chosen);
        EXPECT_EQ(FmMain->Image1->Width(), 40);
        EXPECT_EQ(FmMain->Width(), 40);
        EXPECT_EQ(FmMain->Height(), 70);
        EXPECT_EQ(ReadFileBytes(Guard.Path()), before);
        EXPECT_TRUE(FmSetting->Visible());

        Click(FmSetting->Button1);
        EXPECT_EQ(FmMain->PictureName, c.FileNames);
        EXPECT_EQ(FmMain->Width(), c.WidthAfterCancel);
        EXPECT_EQ(FmMain->Height(), c.HeightAfterCancel);
        EXPECT_EQ(FmMain->Image1->Picture()->Width(), c.WidthAfterCancel);
    }
    RemoveFile(chosen);
    RemoveFile(named);
}

TEST_F(SettingDialog, RefusedPictureChangesNothing) {
    struct TRefusal {
        std::string Typed;
        std::wstring Message;
    };
    const std::string png = TempPath("tomarin-picture.png");
    const std::string missing = TempPath("tomarin-nothing-here.bmp");
    WriteBmp(png, 10, 10);
    const std::vector<TRefusal> cases = {
        {png, L"拡張子 .png の画像形式は処理できません."},
        {missing, L"ファイル " + AnsiToWide(missing) + L" は開けません."},
    };
    FmMain->PictureName = "C:\\before.bmp";
    for (const TRefusal& c : cases) {
        SCOPED_TRACE(c.Typed);
        FmSetting->Show();
        TOpenDialogUser user(c.Typed);
        Click(FmSetting->Button3);
        user.Finish();
        EXPECT_TRUE(user.Box.Seen);
        EXPECT_EQ(user.Box.Text, c.Message);
        EXPECT_EQ(FmMain->PictureName, "C:\\before.bmp");
        EXPECT_EQ(FmMain->Width(), 90);
        EXPECT_EQ(FmMain->Height(), 30);
        EXPECT_TRUE(FmSetting->Visible());
    }
    // Cancelled open dialog: nothing either.
    TOpenDialogUser user("");
    Click(FmSetting->Button3);
    user.Finish();
    EXPECT_FALSE(user.Box.Seen);
    EXPECT_EQ(FmMain->PictureName, "C:\\before.bmp");
    RemoveFile(png);
}

} // namespace
