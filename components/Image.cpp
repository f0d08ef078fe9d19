#include "components/Image.h"

TImage::TImage(TForm* owner) : TGraphicControl(owner) {
    ImagePicture.OnChange = [this] { PictureChanged(); };
}

void TImage::PictureChanged() {
    if (AutoSize && ImagePicture.Width() > 0 && ImagePicture.Height() > 0)
        SetBounds(Left(), Top(), ImagePicture.Width(), ImagePicture.Height());
    Invalidate();
}

void TImage::Paint(HDC dc) {
    // The form restores the device context after each control.
    IntersectClipRect(dc, Bounds.left, Bounds.top, Bounds.right, Bounds.bottom);
    ImagePicture.Bitmap().Draw(dc, Bounds.left, Bounds.top);
}
