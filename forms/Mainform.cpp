#include "forms/Mainform.h"

#include "components/Application.h"
#include "components/FileSystem.h"
#include "components/Handles.h"
#include "forms/Logoform.h"
#include "forms/PerchPosition.h"
#include "forms/ShapeRegion.h"
#include "forms/Settingform.h"
#include "forms/Settings.h"
#include "shell/WindowOps.h"

TFmMain* FmMain = nullptr;
std::int32_t FadeLevel = 255;

namespace {

TFormDesign MainDesign() {
    TFormDesign d;
    d.Caption = L"FmMain";
    d.BorderStyle = TBorderStyle::bsNone;
    d.Left = 691;
    d.Top = 739;
    d.ClientWidth = 177;
    d.ClientHeight = 199;
    return d;
}

} // namespace

TFmMain::TFmMain(TComponent* owner) : TForm(owner, MainDesign()) {
    Image1 = new TImage(this);
    Image1->SetBounds(0, 0, 90, 30);
    Image1->AutoSize = true;
    Image1->Picture()->LoadFromResource(L"BUILTIN");
    Timer1 = new TTimer(this);
    Timer1->SetInterval(100);
    Timer1->OnTimer = [this](TObject* sender) { Timer1Timer(sender); };
    PopupMenu1 = new TPopupMenu(this);
    Image1->PopupMenu = PopupMenu1;
    N3 = new TMenuItem(PopupMenu1, L"-");
    N4 = new TMenuItem(PopupMenu1, L"終了");
    Timer2 = new TTimer(this);
    Timer2->SetEnabled(false);
    Timer2->SetInterval(10);
    N5 = new TMenuItem(PopupMenu1, L"設定");
    N1 = new TMenuItem(PopupMenu1, L"ｳﾞｧｰｼﾞｮﾝ情報");
    PopupMenu1->Add(N5);
    PopupMenu1->Add(N1);
    PopupMenu1->Add(N3);
    PopupMenu1->Add(N4);
    Image1->OnClick = [this](TObject* sender) { Image1Click(sender); };
    N5->OnClick = [this](TObject* sender) { N5Click(sender); };
    N1->OnClick = [this](TObject* sender) { N1Click(sender); };
    N4->OnClick = [this](TObject* sender) { N4Click(sender); };
    Timer2->OnTimer = [this](TObject* sender) { Timer2Timer(sender); };
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
}

void TFmMain::FormCreate(TObject*) {
    // No taskbar button and no Alt+Tab entry for the program.
    SetWindowLongA(Application->Handle(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    // Also moves it to (0, 0) and sizes it 0 x 0 until the settings give it its own.
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, 0);
    try {
        LoadSettings(0);
    } catch (...) {
        // The picture file did not load, and the built-in picture is still shown.
        // Left at 0 x 0 the character could never be seen or clicked, so it takes
        // that picture's size and shape and its usual place before the error is
        // shown.
        LoadSettings(1);
        PlaceOnWorkArea();
        throw;
    }
}

void TFmMain::LoadSettings(int shapeOnly) {
    if (shapeOnly == 0) {
        ReadSettings(*this);
        // A name that is not an existing file is kept, unloaded, so that Save
        // writes it back; the picture now shown stays.
        if (!PictureName.empty() && FileExists(PictureName))
            Image1->Picture()->LoadFromFile(PictureName);
    }
    SetWidth(Image1->Width());
    SetHeight(Image1->Height());
    // No region shows the whole rectangle. A region set on the window belongs to the
    // window system from then on.
    TRegionHandle region(MakeShapeRegion(Image1->Picture()->Bitmap()));
    if (SetWindowRgn(Handle(), region.Get(), FALSE))
        region.Release();
    if (shapeOnly != 0)
        return;
    PlaceOnWorkArea();
}

HRGN TFmMain::MakeShapeRegion(TBitmap& bitmap) {
    return ::MakeShapeRegion(bitmap);
}

void TFmMain::PlaceOnWorkArea() {
    RECT workArea{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    SetLeft(OffsetLeft);
    SetTop(workArea.bottom + OffsetTop - Height());
}

void TFmMain::Timer1Timer(TObject*) {
    // The tick reads the about window, which start-up creates last; a tick that comes
    // earlier (while an error of the character window's creation is shown) waits.
    if (!FmLogo)
        return;
    HWND foreground = GetForegroundWindow();
    // While the user works with the character, it stays on the window it perched on.
    if (foreground == Handle())
        return;
    TargetWnd = foreground;
    // The about window goes away once the user has gone from it to another window.
    if (FmLogo->Handle() == PrevTargetWnd && FmLogo->Handle() != foreground)
        FmLogo->Close();
    if (TargetWnd != PrevTargetWnd) {
        PrevTargetWnd = TargetWnd;
        // A null window reports no extended style: the character turns opaque.
        if (HasLayeredStyle(TargetWnd)) {
            AddLayeredStyle(Handle());
            SetWindowAlpha(Handle(), TransLevel);
        } else {
            RemoveLayeredStyle(Handle());
        }
    }
    // With no window to perch on, or no rectangle for it, the character stays put
    // rather than jump to a rectangle the system did not fill.
    RECT r;
    if (!foreground || !GetWindowRect(foreground, &r))
        return;
    std::optional<TPoint32> place =
        PerchPosition(TRect32{r.left, r.top, r.right, r.bottom}, BaseCorner, OffsetLeft, OffsetTop,
                      Width(), Height());
    if (!place)
        return;
    SetLeft(place->X);
    SetTop(place->Y);
}

void TFmMain::Image1Click(TObject*) {
    // Before the first tracked window, or once it is gone, there is nothing to toggle;
    // a window whose program has stopped handling messages would block the style
    // change and freeze the character with it. Such a click changes neither window.
    if (!TargetWnd || !IsWindow(TargetWnd) || !AnswersMessages(TargetWnd))
        return;
    // The tracked window's style alone decides; it is changed first, the character
    // second, so that both end up in the same state.
    if (HasLayeredStyle(TargetWnd)) {
        RemoveLayeredStyle(TargetWnd);
        RemoveLayeredStyle(Handle());
    } else {
        AddLayeredStyle(TargetWnd);
        SetWindowAlpha(TargetWnd, TransLevel);
        AddLayeredStyle(Handle());
        SetWindowAlpha(Handle(), TransLevel);
    }
}

void TFmMain::N5Click(TObject*) {
    FmSetting->Show();
}

void TFmMain::N1Click(TObject*) {
    FmLogo->Show();
}

void TFmMain::N4Click(TObject*) {
    // Enabling the running timer again neither restarts nor speeds up the fade.
    Timer2->SetEnabled(true);
}

void TFmMain::Timer2Timer(TObject*) {
    // The close has been requested: a tick that still comes before the message loop
    // ends must not wrap the alpha round to nearly opaque.
    if (FadeLevel <= 0)
        return;
    // The style is added at every step: a click or a change of the tracked window
    // during the fade may have taken it away.
    AddLayeredStyle(Handle());
    SetWindowAlpha(Handle(), FadeLevel);
    FadeLevel -= 5;
    if (FadeLevel == 0)
        Close();
}
