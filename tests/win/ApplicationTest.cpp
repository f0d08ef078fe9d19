// The application object, forms and the dispatcher on the real window system.
#include "WinTestSupport.h"
#include "components/Application.h"
#include "components/Dispatch.h"
#include "components/ExtCtrls.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

TFormDesign PlainDesign(TPosition position = TPosition::poDesigned) {
    TFormDesign d;
    d.Caption = L"test";
    d.BorderStyle = TBorderStyle::bsNone;
    d.Left = 10;
    d.Top = 20;
    d.ClientWidth = 120;
    d.ClientHeight = 40;
    d.Position = position;
    return d;
}

class TProbeForm;
TProbeForm* ProbeForm = nullptr;
TProbeForm* SecondForm = nullptr;
bool PointerSetInCreate = false;
bool ThrowInConstructor = false;

class TProbeForm : public TForm {
public:
    explicit TProbeForm(TComponent* owner) : TForm(owner, PlainDesign(TPosition::poScreenCenter)) {
        if (ThrowInConstructor)
            throw Exception(L"form resource unreadable");
        OnCreate = [this](TObject*) { PointerSetInCreate = (ProbeForm == this); };
    }
};

class ApplicationTest : public testing::Test {
protected:
    void TearDown() override { Application->DestroyForms(); }
};

TEST_F(ApplicationTest, CreateFormSetsThePointerBeforeTheCreationHandler) {
    PointerSetInCreate = false;
    ThrowInConstructor = false;
    Application->CreateForm(ProbeForm);
    EXPECT_TRUE(PointerSetInCreate);
    EXPECT_EQ(Application->MainForm(), ProbeForm);
    // Created hidden, owned by the application window: no taskbar button of its own.
    EXPECT_FALSE(IsWindowVisible(ProbeForm->Handle()));
    EXPECT_EQ(GetWindow(ProbeForm->Handle(), GW_OWNER), Application->Handle());

    Application->DestroyForms();
    EXPECT_EQ(ProbeForm, nullptr);
}

TEST_F(ApplicationTest, ConstructorExceptionClearsThePointerAndPassesOn) {
    ThrowInConstructor = true;
    ProbeForm = reinterpret_cast<TProbeForm*>(0x1);
    EXPECT_THROW(Application->CreateForm(ProbeForm), Exception);
    EXPECT_EQ(ProbeForm, nullptr);
    ThrowInConstructor = false;
}

TEST_F(ApplicationTest, ShowRunsTheShowEventOnlyWhenHiddenAndBeforeVisible) {
    ThrowInConstructor = false;
    Application->CreateForm(ProbeForm);
    Application->CreateForm(SecondForm);
    std::vector<bool> visibleAtShowEvent;
    SecondForm->OnShow = [&](TObject*) {
        visibleAtShowEvent.push_back(IsWindowVisible(SecondForm->Handle()) != FALSE);
    };
    SecondForm->Show();
    SecondForm->Show(); // already visible: only brought to the front
    ASSERT_EQ(visibleAtShowEvent.size(), 1u);
    EXPECT_FALSE(visibleAtShowEvent[0]);
    EXPECT_TRUE(SecondForm->Visible());

    // First showing centres on the screen; a later showing keeps the user's place.
    RECT r;
    GetWindowRect(SecondForm->Handle(), &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 120) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 40) / 2);
    SecondForm->SetLeft(30);
    SecondForm->Close(); // not the main form: hidden, not destroyed
    EXPECT_FALSE(SecondForm->Visible());
    EXPECT_FALSE(Application->Terminated());
    SecondForm->Show();
    EXPECT_EQ(SecondForm->Left(), 30);
    EXPECT_EQ(visibleAtShowEvent.size(), 2u);
}

// Counts the position changes that reach a window.
int PositionChanges = 0;
WNDPROC OriginalProc = nullptr;
LRESULT CALLBACK CountingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_WINDOWPOSCHANGING)
        ++PositionChanges;
    return CallWindowProcW(OriginalProc, w, m, wp, lp);
}

TEST_F(ApplicationTest, PositionSettersMoveAtOnceAndSkipUnchangedValues) {
    Application->CreateForm(ProbeForm);
    HWND h = ProbeForm->Handle();
    SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    OriginalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
    PositionChanges = 0;
    ProbeForm->SetLeft(ProbeForm->Left());
    ProbeForm->SetTop(ProbeForm->Top());
    ProbeForm->SetWidth(ProbeForm->Width());
    ProbeForm->SetHeight(ProbeForm->Height());
    EXPECT_EQ(PositionChanges, 0);

    ProbeForm->SetLeft(-50);
    ProbeForm->SetTop(700);
    ProbeForm->SetWidth(90);
    ProbeForm->SetHeight(30);
    EXPECT_EQ(PositionChanges, 4);
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r.left, -50);
    EXPECT_EQ(r.top, 700);
    EXPECT_EQ(r.right - r.left, 90);
    EXPECT_EQ(r.bottom - r.top, 30);
    // Moves keep the topmost band.
    EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OriginalProc));
}

TEST_F(ApplicationTest, RunShowsOnlyTheMainFormAndEndsWhenItCloses) {
    Application->CreateForm(ProbeForm);
    Application->CreateForm(SecondForm);
    bool mainVisible = false;
    bool secondVisible = true;
    TTimer timer(nullptr);
    timer.SetInterval(50);
    timer.OnTimer = [&](TObject*) {
        mainVisible = ProbeForm->Visible();
        secondVisible = SecondForm->Visible();
        // The system's close request on the main form, as Alt+F4 sends it.
        PostMessageW(ProbeForm->Handle(), WM_CLOSE, 0, 0);
        timer.SetEnabled(false);
    };
    Application->Run();
    EXPECT_TRUE(mainVisible);
    EXPECT_FALSE(secondVisible);
    EXPECT_TRUE(Application->Terminated());
}

TEST(ExceptionDisplay, TextRuleCaptionAndIcon) {
    struct TCase {
        std::wstring Message;
        std::wstring Shown;
    };
    const std::vector<TCase> cases = {
        {L"ビットマップイメージが不正です", L"ビットマップイメージが不正です."},
        {L"already ends.", L"already ends."},
        {L"ends in a digit 7", L"ends in a digit 7."},
        {L"ends in a comma,", L"ends in a comma,"},
        {L"", L""},
    };
    for (const TCase& c : cases) {
        TMessageBoxWatcher watcher;
        Application->ShowException(Exception(c.Message));
        TSeenMessageBox seen = watcher.Finish();
        ASSERT_TRUE(seen.Seen);
        EXPECT_EQ(seen.Caption, L"とまりん");
        EXPECT_EQ(seen.Text, c.Shown);
        EXPECT_TRUE(seen.ErrorIcon);
    }
}

TEST(Dispatcher, AbortIsSilentAndForeignExceptionsShowEmpty) {
    {
        TMessageBoxWatcher watcher;
        Dispatch([] { throw EAbort(); });
        Sleep(300);
        EXPECT_FALSE(watcher.Finish().Seen);
    }
    {
        TMessageBoxWatcher watcher;
        Dispatch([] { throw std::runtime_error("not ours"); });
        TSeenMessageBox seen = watcher.Finish();
        ASSERT_TRUE(seen.Seen);
        EXPECT_EQ(seen.Text, L"");
        EXPECT_EQ(seen.Caption, L"とまりん");
    }
    {
        TMessageBoxWatcher watcher;
        Dispatch([] { throw Exception(L"ファイル C:\\x.bmp は開けません"); });
        EXPECT_EQ(watcher.Finish().Text, L"ファイル C:\\x.bmp は開けません.");
    }
}

} // namespace
