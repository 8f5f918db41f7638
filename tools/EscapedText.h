// Code page 932 text for a terminal: UTF-8, one record per line. A
// backslash is written \\, LF \n, CR \r, TAB \t, any other control
// character and any byte that is not code page 932 \xNN. The escapes apply
// to characters: a trail byte 0x5C is part of its double-byte character.
#pragma once

#include <string>
#include <string_view>

namespace pendar::tool {
std::string EscapedText(std::string_view cp932);
} // namespace pendar::tool
