// Integer text as the settings file holds it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Leading spaces, at most one sign, then either decimal digits within the 32-bit
// range or a hexadecimal prefix ("$", "x", "X", "0x", "0X") and at most eight
// significant hexadecimal digits read as a two's complement pattern. Nothing may
// follow the last digit. Returns no value for any other text.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

inline std::int32_t StrToIntDef(std::string_view text, std::int32_t def) {
    return TryStrToInt(text).value_or(def);
}
