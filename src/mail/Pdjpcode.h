// Conversion between the Japanese mail encodings (Shift_JIS, JIS escape
// sequences, EUC-JP) with source detection, and UTF-8 / UTF-7 to Shift_JIS.
// Every function takes and returns byte strings; nothing rejects input:
// invalid sequences follow the conversion rules byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Encoding identifiers of ConvertKanjiCode.
constexpr int kcAuto = 0; // source only: fixed by the first double-byte character
constexpr int kcSjis = 1;
constexpr int kcJis = 2;
constexpr int kcEuc = 3;

// Converts `text` from encoding `from` (0-3) to `to` (1-3); line ends become
// CR LF when `crlf`, else LF. The output holds at most max(3 n, 256) bytes
// and ends at its first NUL byte. Out of memory shows the error box and
// gives an empty text.
std::string ConvertKanjiCode(std::string_view text, int from, int to, bool crlf);

// One double-byte character, first byte high.
uint16_t SjisToJis(uint16_t c);
uint16_t JisToSjis(uint16_t c);
uint16_t JisToEuc(uint16_t c);
uint16_t EucToJis(uint16_t c);
uint16_t SjisToEuc(uint16_t c);
uint16_t EucToSjis(uint16_t c);
// A half-width katakana byte 0xA0-0xDF to its full-width JIS value; 0 otherwise.
uint16_t HankanaToJis(uint8_t b);

// UTF-8 / UTF-7 to Shift_JIS. Characters code page 932 lacks become '?'.
std::string Utf8ToSjis(std::string_view text);
std::string Utf7ToSjis(std::string_view text);

namespace pendar {
// The 16-bit units the two decoders produce before the code page step.
std::u16string Utf8ToUnits(std::string_view text);
std::u16string Utf7ToUnits(std::string_view text);
} // namespace pendar
