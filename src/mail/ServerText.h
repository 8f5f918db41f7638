// Texts that come from a mail server and end up in the log or the balloon:
// control bytes other than the line feed (which the log splits on) become
// blanks, so a hostile server cannot move the cursor, ring bells or hide
// text. Code page 932 trail bytes are never control bytes, so this works
// byte by byte.
#pragma once

#include <string>
#include <string_view>

namespace pendar {
std::string ReplaceControlBytes(std::string_view text);
} // namespace pendar
