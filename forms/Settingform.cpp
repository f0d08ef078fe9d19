#include "forms/Settingform.h"

#include "components/FileSystem.h"
#include "forms/Mainform.h"
#include "forms/OffsetText.h"
#include "forms/Settings.h"

TFmSetting* FmSetting = nullptr;

namespace {

TFormDesign SettingDesign() {
    TFormDesign d;
    d.Caption = L"設定";
    d.BorderStyle = TBorderStyle::bsToolWindow;
    d.BorderIcons = false;
    d.ClientWidth = 265;
    d.ClientHeight = 113;
    d.Position = TPosition::poScreenCenter;
    d.DialogKeys = true;
    return d;
}

// Labels and buttons use the form's face at a smaller size.
TFontDesc SmallFont(const TForm& form) {
    TFontDesc font = form.FontDesc();
    font.Height = 11;
    return font;
}

TLabel* NewLabel(TFmSetting* form, int left, int top, int width, const wchar_t* caption) {
    auto* label = new TLabel(form);
    label->SetFont(SmallFont(*form));
    label->SetBounds(left, top, width, 11);
    label->SetCaption(caption);
    return label;
}

TScrollBar* NewScrollBar(TFmSetting* form, int top, int min, int max, int position) {
    auto* bar = new TScrollBar(form);
    bar->SetBounds(136, top, 121, 10);
    bar->SetRange(min, max);
    bar->SetPosition(position);
    return bar;
}

TButton* NewButton(TFmSetting* form, int left, const wchar_t* caption) {
    auto* button = new TButton(form);
    button->SetFont(SmallFont(*form));
    button->SetBounds(left, 88, 75, 20);
    button->SetCaption(caption);
    return button;
}

// Values read from the settings file only to learn which picture it names.
struct TFileSettings {
    std::string PictureName;
    std::int32_t OffsetTop = 0;
    std::int32_t OffsetLeft = 0;
    std::int32_t BaseCorner = 0;
    std::int32_t TransLevel = 0;
};

} // namespace

TFmSetting::TFmSetting(TComponent* owner) : TForm(owner, SettingDesign()) {
    ScrollBarX = NewScrollBar(this, 16, -200, 200, 0);
    ScrollBarY = NewScrollBar(this, 40, -200, 200, 0);
    Label1 = NewLabel(this, 136, 5, 51, L"X軸の補正");
    Label2 = NewLabel(this, 136, 29, 50, L"Y軸の補正");
    RadioGroup1 = new TRadioGroup(this);
    RadioGroup1->SetBounds(8, 8, 121, 67);
    RadioGroup1->SetCaption(L"基準座標");
    RadioGroup1->SetColumns(2);
    RadioGroup1->SetItems({L"左上", L"左下", L"右上", L"右下"});
    RadioGroup1->SetItemIndex(0);
    Button1 = NewButton(this, 184, L"ｷｬﾝｾﾙ(&C)");
    Button2 = NewButton(this, 110, L"保存(&S)");
    Button3 = NewButton(this, 24, L"画像入替(&G)");
    Label3 = NewLabel(this, 233, 5, 17, L"±0");
    Label4 = NewLabel(this, 233, 29, 17, L"±0");
    OpenPictureDialog1 = new TOpenPictureDialog(this);
    OpenPictureDialog1->Filter = L"ビットマップ (*.bmp)|*.bmp";
    ScrollBar1 = NewScrollBar(this, 64, 50, 250, 200);
    Label5 = NewLabel(this, 136, 53, 66, L"透明時可視度");
    Label6 = NewLabel(this, 240, 53, 18, L"200");

    // Cancel stands before Save in the Tab order although Save stands to its left.
    ScrollBarX->SetTabOrder(0);
    ScrollBarY->SetTabOrder(1);
    RadioGroup1->SetTabOrder(2);
    Button1->SetTabOrder(3);
    Button2->SetTabOrder(4);
    Button3->SetTabOrder(5);
    ScrollBar1->SetTabOrder(6);

    // Attached last: setting the controls up raises none of the handlers.
    Button1->OnClick = [this](TObject* sender) { Button1Click(sender); };
    OnShow = [this](TObject* sender) { FormShow(sender); };
    ScrollBarX->OnChange = [this](TObject* sender) { ScrollBarXChange(sender); };
    ScrollBarY->OnChange = [this](TObject* sender) { ScrollBarYChange(sender); };
    RadioGroup1->OnClick = [this](TObject* sender) { RadioGroup1Click(sender); };
    Button3->OnClick = [this](TObject* sender) { Button3Click(sender); };
    Button2->OnClick = [this](TObject* sender) { Button2Click(sender); };
    ScrollBar1->OnChange = [this](TObject* sender) { ScrollBar1Change(sender); };
}

void TFmSetting::FormShow(TObject*) {
    // Each assignment runs its control's change handler when the control moves,
    // which writes the clamped value back; an unmoved control leaves the setting as
    // it is.
    RadioGroup1->SetItemIndex(FmMain->BaseCorner);
    ScrollBarX->SetPosition(FmMain->OffsetLeft);
    Label3->SetCaption(OffsetText(FmMain->OffsetLeft));
    ScrollBarY->SetPosition(FmMain->OffsetTop);
    Label4->SetCaption(OffsetText(FmMain->OffsetTop));
    ScrollBar1->SetPosition(FmMain->TransLevel);
}

void TFmSetting::ScrollBarXChange(TObject*) {
    FmMain->OffsetLeft = ScrollBarX->Position();
    Label3->SetCaption(OffsetText(FmMain->OffsetLeft));
}

void TFmSetting::ScrollBarYChange(TObject*) {
    FmMain->OffsetTop = ScrollBarY->Position();
    Label4->SetCaption(OffsetText(FmMain->OffsetTop));
}

void TFmSetting::ScrollBar1Change(TObject*) {
    Label6->SetCaption(std::to_wstring(ScrollBar1->Position()));
    FmMain->TransLevel = ScrollBar1->Position();
}

void TFmSetting::RadioGroup1Click(TObject*) {
    FmMain->BaseCorner = RadioGroup1->ItemIndex();
}

void TFmSetting::Button3Click(TObject*) {
    if (!OpenPictureDialog1->Execute())
        return;
    // A file the loader refuses raises here and changes nothing.
    FmMain->Image1->Picture()->LoadFromFile(OpenPictureDialog1->FileName);
    PictureChanged = true;
    FmMain->PictureName = OpenPictureDialog1->FileName;
    FmMain->LoadSettings(1);
}

void TFmSetting::Button2Click(TObject*) {
    // A refused write raises: the dialog stays open with the live values.
    WriteSettings(*FmMain);
    ReloadSettings();
    Close();
}

void TFmSetting::Button1Click(TObject*) {
    ReloadSettings();
    Close();
}

void TFmSetting::ReloadSettings() {
    // Reading the file loads the picture it names when that file exists, and leaves
    // the one shown otherwise. After a picture change that would keep a picture the
    // file does not name: the character then shows the built-in picture, as a fresh
    // start with this file would.
    if (PictureChanged) {
        TFileSettings file;
        ReadSettings(file);
        if (file.PictureName.empty() || !FileExists(file.PictureName))
            FmMain->Image1->Picture()->LoadFromResource(L"BUILTIN");
    }
    FmMain->LoadSettings(0);
    PictureChanged = false;
}
