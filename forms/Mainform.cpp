#include "forms/Mainform.h"

#include "components/Application.h"
#include "forms/Settings.h"

TFmMain* FmMain = nullptr;

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
    Timer1 = new TTimer(this);
    Timer1->SetInterval(100);
    PopupMenu1 = new TPopupMenu(this);
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
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
}

void TFmMain::FormCreate(TObject*) {
    // No taskbar button and no Alt+Tab entry for the program.
    SetWindowLongA(Application->Handle(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, 0);
    LoadSettings(0);
}

void TFmMain::LoadSettings(int shapeOnly) {
    if (shapeOnly == 0)
        ReadSettings(*this);
    SetWidth(90);
    SetHeight(30);
    if (shapeOnly != 0)
        return;
    RECT workArea{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    SetLeft(OffsetLeft);
    SetTop(workArea.bottom + OffsetTop - Height());
}
