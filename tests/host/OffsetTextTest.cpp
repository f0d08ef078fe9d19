#include "forms/OffsetText.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(OffsetText, SignShowsTheDirection) {
    const std::vector<std::pair<std::int32_t, std::wstring>> cases = {
        {0, L"±0"},
        {37, L"+37"},
        {-37, L"-37"},
        {200, L"+200"},
        {-200, L"-200"},
        {500, L"+500"},
        {1, L"+1"},
        {-1, L"-1"},
        {INT32_MAX, L"+2147483647"},
        {INT32_MIN, L"-2147483648"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(OffsetText(value), text) << "value " << value;
}

} // namespace
