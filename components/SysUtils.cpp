#include "components/SysUtils.h"

std::wstring FormatMessageText(std::wstring_view pattern,
                               std::initializer_list<std::wstring_view> args) {
    std::wstring out;
    auto next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'%' && i + 1 < pattern.size() && pattern[i + 1] == L's' &&
            next != args.end()) {
            out.append(*next++);
            ++i;
        } else {
            out.push_back(pattern[i]);
        }
    }
    return out;
}

std::wstring DisplayText(std::wstring_view message) {
    std::wstring text(message);
    if (!text.empty() && text.back() > L'.')
        text.push_back(L'.');
    return text;
}
