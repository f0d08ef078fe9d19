// The text the settings dialog shows beside an offset scroll bar.
#pragma once

#include <cstdint>
#include <string>

// "±0" for zero, "+" and the digits for a positive value, the plain decimal with its
// minus sign for a negative one, so the direction of a shift reads at a glance.
std::wstring OffsetText(std::int32_t v);
