// The character window: the program's main window.
#pragma once

#include "components/ExtCtrls.h"
#include "components/Forms.h"
#include "components/Menus.h"

#include <windows.h>

#include <cstdint>
#include <string>

class TFmMain : public TForm {
public:
    explicit TFmMain(TComponent* owner);

    TTimer* Timer1;
    TPopupMenu* PopupMenu1;
    TMenuItem* N3;
    TMenuItem* N4;
    TTimer* Timer2;
    TMenuItem* N5;
    TMenuItem* N1;

    // The tracked window, and the one tracked before the current tick.
    HWND TargetWnd = nullptr;
    HWND PrevTargetWnd = nullptr;
    // The settings record.
    std::string PictureName;
    std::int32_t OffsetTop = 0;
    std::int32_t OffsetLeft = 0;
    std::int32_t BaseCorner = 0;
    std::int32_t TransLevel = 0;

    void FormCreate(TObject* sender);
    // 0: read the settings file, load the picture, size, shape and place the window;
    // any other value: size and shape only.
    void LoadSettings(int shapeOnly);
};

extern TFmMain* FmMain;
