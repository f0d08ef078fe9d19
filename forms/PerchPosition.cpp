#include "forms/PerchPosition.h"

namespace {

// Unsigned arithmetic is defined to wrap; the conversion back to a signed 32-bit
// value is modular since C++20.
std::uint32_t U(std::int32_t v) {
    return static_cast<std::uint32_t>(v);
}

} // namespace

std::optional<TPoint32> PerchPosition(const TRect32& target, std::int32_t corner,
                                      std::int32_t offsetLeft, std::int32_t offsetTop,
                                      std::int32_t width, std::int32_t height) {
    if (corner < 0 || corner > 3)
        return std::nullopt;
    const bool rightEdge = corner >= 2;
    const bool bottomEdge = corner == 1 || corner == 3;
    const std::uint32_t hAnchor = rightEdge ? U(target.Right) - U(width) : U(target.Left);
    const std::uint32_t vAnchor = bottomEdge ? U(target.Bottom) : U(target.Top);
    return TPoint32{static_cast<std::int32_t>(hAnchor + U(offsetLeft)),
                    static_cast<std::int32_t>(vAnchor + U(offsetTop) - U(height))};
}
