// The settings dialog.
#pragma once

#include "components/Forms.h"

class TFmSetting : public TForm {
public:
    explicit TFmSetting(TComponent* owner);
};

extern TFmSetting* FmSetting;
