// The subject as the clock shows it: one leading blank removed, encoded
// words decoded to Shift_JIS, control bytes other than LF made blanks.
#pragma once

#include <string>
#include <string_view>

std::string CleanSubject(std::string_view subject);
