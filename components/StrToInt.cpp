#include "components/StrToInt.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string_view rest = text.substr(i);
    size_t prefix = 0;
    if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X'))
        prefix = 1;
    else if (rest.starts_with("0x") || rest.starts_with("0X"))
        prefix = 2;

    if (prefix != 0) {
        std::string_view digits = rest.substr(prefix);
        if (digits.empty())
            return std::nullopt;
        std::uint32_t value = 0;
        int significant = 0;
        for (char c : digits) {
            int d = HexDigit(c);
            if (d < 0)
                return std::nullopt;
            if (significant > 0 || d != 0)
                ++significant;
            if (significant > 8)
                return std::nullopt;
            value = (value << 4) | static_cast<std::uint32_t>(d);
        }
        if (negative)
            value = 0u - value;
        return static_cast<std::int32_t>(value);
    }

    if (rest.empty())
        return std::nullopt;
    // Accumulate the magnitude in 64 bits; the limit depends on the sign.
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t magnitude = 0;
    for (char c : rest) {
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}
