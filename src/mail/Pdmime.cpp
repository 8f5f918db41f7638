#include "mail/Pdmime.h"

#include "mail/Base64Digit.h"
#include "mail/Pdjpcode.h"

#include <cstdint>

namespace {

// Bytes outside the alphabet count as 0; nothing is skipped.
uint8_t Base64Value(char c)
{
    int v = pendar::Base64Digit(c);
    return static_cast<uint8_t>(v < 0 ? 0 : v);
}

uint8_t HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<uint8_t>(c - 'a' + 10);
    return 0;
}

std::string ToUpper(std::string_view s)
{
    std::string upper(s);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::string ConvertCharset(std::string_view charset, std::string bytes)
{
    std::string name = ToUpper(charset);
    if (name == "ISO-2022-JP")
        return ConvertKanjiCode(bytes, kcJis, kcSjis, false);
    if (name == "EUC-JP")
        return ConvertKanjiCode(bytes, kcEuc, kcSjis, false);
    if (name == "UTF-8")
        return Utf8ToSjis(bytes);
    if (name == "UTF-7")
        return Utf7ToSjis(bytes);
    return bytes; // Shift_JIS already, or a set this system does not convert
}

} // namespace

std::string DecodeBase64(std::string_view text)
{
    size_t n = text.size();
    while (n > 0 && text[n - 1] == '=')
        --n;
    std::string out;
    out.reserve(3 * (n / 4) + 2);
    for (size_t i = 0; i < n; i += 4) {
        uint8_t v[4] = {};
        size_t have = 0;
        while (have < 4 && i + have < n && text[i + have] != '=') {
            v[have] = Base64Value(text[i + have]);
            ++have;
        }
        if (have >= 2)
            out += static_cast<char>((v[0] << 2 | v[1] >> 4) & 0xFF);
        if (have >= 3)
            out += static_cast<char>(((v[1] & 0x0F) << 4 | v[2] >> 2) & 0xFF);
        if (have == 4)
            out += static_cast<char>(((v[2] & 0x03) << 6 | v[3]) & 0xFF);
        if (have < 4)
            break;
    }
    return out;
}

std::string DecodeQuoted(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            out += text[i];
            continue;
        }
        if (text.size() - i < 3)
            break; // "=" without two characters after it ends the text
        out += static_cast<char>(HexValue(text[i + 1]) << 4 | HexValue(text[i + 2]));
        i += 2;
    }
    return out;
}

std::string DecodeMimeHeader(std::string_view text)
{
    std::string out;
    std::string_view rest = text;
    for (;;) {
        size_t start = rest.find("=?");
        if (start == std::string_view::npos) {
            out += rest;
            return out;
        }
        out += rest.substr(0, start);
        rest.remove_prefix(start + 2);

        size_t q = rest.find('?');
        if (q == std::string_view::npos || q + 2 >= rest.size() || rest[q + 2] != '?') {
            out += "=?";
            out += rest;
            return out;
        }
        std::string_view charset = rest.substr(0, q);
        char letter = rest[q + 1];
        std::string_view encoded = rest.substr(q + 3);
        size_t end = encoded.find("?=");
        if (end == std::string_view::npos) {
            out += "=?";
            out += rest;
            return out;
        }
        rest = encoded.substr(end + 2);
        encoded = encoded.substr(0, end);

        std::string bytes = letter == 'B'   ? DecodeBase64(encoded)
                            : letter == 'Q' ? DecodeQuoted(encoded)
                                            : std::string(encoded);
        out += ConvertCharset(charset, std::move(bytes));
    }
}
