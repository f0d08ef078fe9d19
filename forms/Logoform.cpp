#include "forms/Logoform.h"

#include "components/FileSystem.h"
#include "components/Text.h"
#include "shell/VersionLibrary.h"

#include <vector>

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

TFontDesc LabelFont(bool bold, bool italic) {
    TFontDesc f;
    f.Name = L"ＭＳ Ｐゴシック";
    f.Charset = SHIFTJIS_CHARSET;
    f.Height = 13;
    f.Bold = bold;
    f.Italic = italic;
    return f;
}

} // namespace

TFmLogo::TFmLogo(TComponent* owner) : TForm(owner, LogoDesign()) {
    Image1 = new TImage(this);
    Image1->AutoSize = true;
    Image1->SetBounds(0, 0, 265, 85);
    Image1->Picture()->LoadFromResource(L"LOGO");
    Image1->OnClick = [this](TObject* sender) { Image1Click(sender); };

    // The labels lie above the picture and take no click of their own, so a click on
    // one of them does not close the window.
    Label2 = new TLabel(this);
    Label2->SetFont(LabelFont(true, true));
    Label2->SetBounds(6, 6, 96, 13);
    Label2->SetCaption(L"Tomarin Project");

    // Right-justified and sized to its text: whatever the version, the line ends at
    // x = 257.
    Label1 = new TLabel(this);
    Label1->SetFont(LabelFont(true, false));
    Label1->SetAlignment(TAlignment::taRightJustify);
    Label1->SetBounds(158, 51, 99, 13);
    Label1->SetCaption(L"Version ");

    Label = new TLabel(this);
    Label->SetFont(LabelFont(false, true));
    Label->SetAutoSize(false);
    Label->SetAlignment(TAlignment::taCenter);
    Label->SetBounds(125, 64, 137, 13);
    Label->SetCaption(L"For Windows2000/XP");

    OnCreate = [this](TObject* sender) { FormCreate(sender); };
}

void TFmLogo::FormCreate(TObject*) {
    // Without a border the outer size is the client size.
    SetWidth(Image1->Width());
    SetHeight(Image1->Height());
    Label1->SetCaption(L"Version " + AnsiToWide(GetVersionText()));
}

void TFmLogo::Image1Click(TObject*) {
    Close();
}

std::string TFmLogo::GetVersionText() {
    return FileVersionText(ExeFileName());
}

std::string FileVersionText(const std::string& fileName) {
    TVersionLibrary version;
    DWORD size = version.GetFileVersionInfoSizeA(fileName.c_str(), nullptr);
    if (size == 0)
        return {};
    std::vector<unsigned char> buffer(size);
    if (!version.GetFileVersionInfoA(fileName.c_str(), 0, size, buffer.data()))
        return {};
    void* block = nullptr;
    UINT length = 0;
    if (!version.VerQueryValueA(buffer.data(), "\\", &block, &length) || !block ||
        length < sizeof(VS_FIXEDFILEINFO))
        return {};
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info->dwFileVersionLS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionLS));
}
