// The picture control: shows a picture unscaled from its top-left corner. It has no
// window of its own; its form paints it and routes clicks and the popup menu to it.
#pragma once

#include "components/Controls.h"
#include "components/Graphics.h"

#include <windows.h>

class TImage : public TGraphicControl {
public:
    explicit TImage(TForm* owner);

    TPicture* Picture() { return &ImagePicture; }

    // Whenever the picture changes and has a width and a height above 0, the control
    // takes the picture's size, keeping its left and top edges.
    bool AutoSize = false;

    // Unscaled from the control's top-left corner, clipped to the control.
    void Paint(HDC dc) override;

private:
    void PictureChanged();

    TPicture ImagePicture;
};
