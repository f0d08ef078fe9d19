// The integer conversion against a second reading of its rules written another way:
// any text on which the two disagree is a finding.
#include "components/StrToInt.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace {

std::optional<std::int32_t> Reference(std::string_view text) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos)
        return std::nullopt;
    text.remove_prefix(start);
    const bool negative = text[0] == '-';
    if (text[0] == '-' || text[0] == '+')
        text.remove_prefix(1);

    int base = 10;
    for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
        if (text.starts_with(prefix)) {
            text.remove_prefix(prefix.size());
            base = 16;
            break;
        }
    }
    if (text.empty())
        return std::nullopt;
    for (char c : text) {
        const bool digit = c >= '0' && c <= '9';
        const bool hex = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!digit && !(base == 16 && hex))
            return std::nullopt;
    }
    const std::size_t zeros = text.find_first_not_of('0');
    const std::string_view significant =
        zeros == std::string_view::npos ? std::string_view{} : text.substr(zeros);
    if (significant.size() > (base == 16 ? 8u : 10u))
        return std::nullopt;
    std::uint64_t magnitude = 0;
    if (!significant.empty())
        std::from_chars(significant.data(), significant.data() + significant.size(), magnitude,
                        base);
    if (base == 16) // a 32-bit pattern, negated in two's complement
        return static_cast<std::int32_t>(
            static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude));
    if (magnitude > (negative ? 2147483648u : 2147483647u))
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                              : static_cast<std::int64_t>(magnitude));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (TryStrToInt(text) != Reference(text))
        __builtin_trap();
    return 0;
}
