// The character window's shape: the window region that covers every pixel of the
// picture whose value differs from the top-left pixel's.
#pragma once

#include "components/Graphics.h"

#include <windows.h>

// Normalises the bitmap's pixel format in place (1 and 4 bits become 8-bit indexed
// through the window system's halftone palette; 8 and 24 bits stay; every other
// format becomes 24-bit direct), so that a second call converts nothing. Then the
// key is pixel (0, 0), compared by index in an 8-bit bitmap and by blue, green, red
// otherwise, and the result is the union of the one-pixel-high rectangles of the
// shape runs: a region the caller owns, or nullptr when there is no run. An empty
// bitmap raises "スキャンライン のインデックスが範囲を越えました" and makes no region.
HRGN MakeShapeRegion(TBitmap& bitmap);
