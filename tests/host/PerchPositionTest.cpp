#include "forms/PerchPosition.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Case {
    std::int32_t corner;
    std::int32_t offsetLeft;
    std::int32_t offsetTop;
    std::optional<TPoint32> expected;
};

TEST(PerchPosition, CornersOffsetsAndWrapAround) {
    const TRect32 target{100, 50, 500, 350};
    const std::vector<Case> cases = {
        // bottom edge on the chosen edge; left edges line up for 0 and 1, right for 2, 3
        {0, 0, 0, TPoint32{100, 20}},
        {1, 0, 0, TPoint32{100, 320}},
        {2, 0, 0, TPoint32{410, 20}},
        {3, 0, 0, TPoint32{410, 320}},
        // no such corner: the character stays put
        {4, 0, 0, std::nullopt},
        {-1, 0, 0, std::nullopt},
        {INT32_MIN, 0, 0, std::nullopt},
        // positive offsets move right and down
        {2, -10, 5, TPoint32{400, 25}},
        {1, 20, -8, TPoint32{120, 312}},
        // hand-edited extremes wrap like 32-bit two's complement
        {0, INT32_MAX, INT32_MAX, TPoint32{INT32_MIN + 99, INT32_MIN + 19}},
        {3, INT32_MIN, INT32_MIN, TPoint32{INT32_MIN + 410, INT32_MIN + 320}},
    };
    for (const Case& c : cases) {
        const std::optional<TPoint32> p =
            PerchPosition(target, c.corner, c.offsetLeft, c.offsetTop, 90, 30);
        ASSERT_EQ(p.has_value(), c.expected.has_value()) << "corner " << c.corner;
        if (p) {
            EXPECT_EQ(p->X, c.expected->X) << "corner " << c.corner << ", " << c.offsetLeft;
            EXPECT_EQ(p->Y, c.expected->Y) << "corner " << c.corner << ", " << c.offsetTop;
        }
    }
}

TEST(PerchPosition, AnchorArithmeticWrapsToo) {
    const TRect32 target{INT32_MIN, INT32_MIN, INT32_MIN + 10, INT32_MIN + 10};
    const std::optional<TPoint32> p = PerchPosition(target, 2, 0, 0, 90, 30);
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->X, INT32_MAX - 79);
    EXPECT_EQ(p->Y, INT32_MAX - 29);
}

} // namespace
