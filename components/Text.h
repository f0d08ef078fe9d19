// Conversions between the ANSI code page (paths, settings values) and UTF-16
// (everything the user reads).
#pragma once

#include <string>
#include <string_view>

std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);
