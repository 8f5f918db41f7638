// Code page 932 text written in the source as UTF-8: Sjis("こんにちは") is
// the byte string the system stores and shows. For fixed texts only; a text
// CP932 cannot hold is a programming error and stops the program.
#pragma once

#include <string>
#include <string_view>

std::string Sjis(std::string_view utf8);
