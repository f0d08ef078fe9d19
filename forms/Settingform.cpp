#include "forms/Settingform.h"

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

} // namespace

TFmSetting::TFmSetting(TComponent* owner) : TForm(owner, SettingDesign()) {}
