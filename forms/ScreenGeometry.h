// Screen geometry in the window system's own terms: signed 32-bit pixels.
#pragma once

#include <cstdint>

// A rectangle in screen pixels; Right and Bottom are exclusive, so a window whose
// rectangle ends at Right covers columns up to Right - 1.
struct TRect32 {
    std::int32_t Left;
    std::int32_t Top;
    std::int32_t Right;
    std::int32_t Bottom;
};

struct TPoint32 {
    std::int32_t X;
    std::int32_t Y;

    friend bool operator==(const TPoint32&, const TPoint32&) = default;
};
