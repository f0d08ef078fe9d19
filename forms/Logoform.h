// The about window: the logo with the maker's name, the program's file version and
// the supported platforms over it.
#pragma once

#include "components/Forms.h"
#include "components/Image.h"
#include "components/Label.h"

#include <string>

class TFmLogo : public TForm {
public:
    explicit TFmLogo(TComponent* owner);

    TImage* Image1;
    TLabel* Label;
    TLabel* Label2;
    TLabel* Label1;

    void FormCreate(TObject* sender);
    void Image1Click(TObject* sender);

private:
    // The running executable's file version, or an empty string.
    std::string GetVersionText();
};

extern TFmLogo* FmLogo;

// The fixed file version of an executable as "major.minor.release.build" in decimal,
// or an empty string when it has none or it cannot be read.
std::string FileVersionText(const std::string& fileName);
