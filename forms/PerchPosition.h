// Where the character window goes on the window it perches on.
#pragma once

#include "forms/ScreenGeometry.h"

#include <cstdint>
#include <optional>

// The new top-left corner of a character of the given size perched on the target's
// outer rectangle. Corners 0 and 1 line the character's left edge up with the
// target's left edge, 2 and 3 its right edge with the target's right edge; corners
// 0 and 2 stand it on the target's top edge, 1 and 3 on its bottom edge. The offsets
// then shift it (positive: right and down). Any other corner, negative ones included,
// gives no position: the character stays where it is.
//
// Offsets come from a hand-editable settings file and may hold any 32-bit value, so
// the sums wrap like 32-bit two's complement instead of overflowing.
std::optional<TPoint32> PerchPosition(const TRect32& target, std::int32_t corner,
                                      std::int32_t offsetLeft, std::int32_t offsetTop,
                                      std::int32_t width, std::int32_t height);
