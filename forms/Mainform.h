// The character window: the program's main window.
#pragma once

#include "components/ExtCtrls.h"
#include "components/Forms.h"
#include "components/Image.h"
#include "components/Menus.h"

#include <windows.h>

#include <cstdint>
#include <string>

class TFmMain : public TForm {
public:
    explicit TFmMain(TComponent* owner);

    TImage* Image1;
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
    // The region of the picture's shape (every pixel but those of the top-left
    // pixel's colour), or null when nothing is left; the caller owns it.
    HRGN MakeShapeRegion(TBitmap& bitmap);
    // Follows the foreground window: mirrors its translucency when it has changed and
    // perches on the chosen corner of its outer rectangle.
    void Timer1Timer(TObject* sender);

    // The user's commands: the translucency toggle on a left click, the context
    // menu's items, and the fade-out that ends the program.
    void Image1Click(TObject* sender);
    void N5Click(TObject* sender);
    void N1Click(TObject* sender);
    void N4Click(TObject* sender);
    void Timer2Timer(TObject* sender);

private:
    // Left edge at OffsetLeft, bottom edge OffsetTop below the work area's bottom.
    void PlaceOnWorkArea();
};

extern TFmMain* FmMain;

// The alpha of the next fade-out step: 255 at start, 5 less after each step.
extern std::int32_t FadeLevel;
