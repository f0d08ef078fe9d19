#include "forms/OffsetText.h"

std::wstring OffsetText(std::int32_t v) {
    if (v == 0)
        return L"±0";
    if (v > 0)
        return L"+" + std::to_wstring(v);
    return std::to_wstring(v);
}
