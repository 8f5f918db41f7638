// The value of one character of the standard Base64 alphabet ("A"-"Z",
// "a"-"z", "0"-"9", "+", "/"), -1 for any other byte. Encoded words and
// UTF-7 runs use the same alphabet.
#pragma once

namespace pendar {

constexpr int Base64Digit(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

} // namespace pendar
