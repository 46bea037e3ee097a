#pragma once

#include <cstddef>
#include <string>

namespace exchange {

// Whether a worksheet's name (UTF-8) is name (ASCII), letter case aside, as Excel compares
// sheet names.
inline bool sameSheetName(const std::string& sheet, const char* name)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
    std::size_t i = 0;
    for (; i < sheet.size() && name[i]; ++i) {
        if (lower(sheet[i]) != lower(name[i]))
            return false;
    }
    return i == sheet.size() && !name[i];
}

} // namespace exchange
