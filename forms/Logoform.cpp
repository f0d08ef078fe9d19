#include "forms/Logoform.h"

TFmLogo* FmLogo = nullptr;

namespace {

TFormDesign LogoDesign() {
    TFormDesign d;
    d.Caption = L"FmLogo";
    d.BorderStyle = TBorderStyle::bsNone;
    d.ClientWidth = 265;
    d.ClientHeight = 85;
    d.Position = TPosition::poScreenCenter;
    return d;
}

} // namespace

TFmLogo::TFmLogo(TComponent* owner) : TForm(owner, LogoDesign()) {}
