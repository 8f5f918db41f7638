// The one place where code page 932 byte strings meet Unicode.
// Everything the system shows or stores is CP932 bytes; Qt and the file
// system want UTF-16 or UTF-8. Conversion goes through iconv's "CP932".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace port {

// Lead byte of a double-byte character in code page 932.
constexpr bool IsCp932LeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Trail byte of a double-byte character in code page 932.
constexpr bool IsCp932TrailByte(unsigned char c)
{
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// True when byte `pos` of `text` is the lead byte of a double-byte character,
// deciding by a scan from the start (a trail byte can look like a lead byte).
bool IsLeadByteAt(std::string_view text, size_t pos);

// Strict conversions: nullopt when the input holds a byte sequence (or a
// character) the other side cannot represent.
std::optional<std::u16string> Cp932ToUtf16Strict(std::string_view cp932);
std::optional<std::string> Utf16ToCp932Strict(std::u16string_view utf16);
std::optional<std::string> Cp932ToUtf8Strict(std::string_view cp932);
std::optional<std::string> Utf8ToCp932Strict(std::string_view utf8);

// Lenient conversions for display: undecodable CP932 bytes become U+FFFD;
// characters CP932 lacks become '?'.
std::u16string Cp932ToUtf16(std::string_view cp932);
std::string Utf16ToCp932(std::u16string_view utf16);
std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);

} // namespace port
