// The about window.
#pragma once

#include "components/Forms.h"

class TFmLogo : public TForm {
public:
    explicit TFmLogo(TComponent* owner);
};

extern TFmLogo* FmLogo;
