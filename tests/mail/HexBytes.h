// Byte strings written as hexadecimal pairs in tests: Hex("82 A0").
#pragma once

#include <string>
#include <string_view>

namespace pendar::test {

inline std::string Hex(std::string_view pairs)
{
    std::string bytes;
    int high = -1;
    for (char c : pairs) {
        int v = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (v < 0)
            continue;
        if (high < 0) {
            high = v;
        } else {
            bytes += static_cast<char>(high << 4 | v);
            high = -1;
        }
    }
    return bytes;
}

} // namespace pendar::test
