#include "base/Zotext.h"

#include <cstdint>
#include <vector>

void SeparateString(std::string_view text, std::string* lines, int n)
{
    std::string_view rest = text;
    for (int i = 0; i < n; ++i) {
        lines[i].clear();
        if (rest.empty())
            continue;
        size_t lf = rest.find('\n');
        if (lf == std::string_view::npos) {
            lines[i] = std::string(rest);
            rest = {};
        } else {
            lines[i] = std::string(rest.substr(0, lf));
            rest.remove_prefix(lf + 1);
        }
    }
}

std::string DivideFront(std::string_view text, int n)
{
    if (n <= 0)
        return {};
    return std::string(text.substr(0, static_cast<size_t>(n)));
}

std::string DivideRear(std::string_view text, int from)
{
    if (from <= 0)
        from = 1;
    if (static_cast<size_t>(from) > text.size())
        return {};
    return std::string(text.substr(static_cast<size_t>(from) - 1));
}

int HexToInt(std::string_view text)
{
    uint32_t value = 0;
    for (size_t i = 0; i < text.size() && i < 8; ++i) {
        char c = text[i];
        uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        value = value * 16 + digit;
    }
    return static_cast<int32_t>(value);
}

namespace {

// Bytes 0x00..0x20 are never part of a double-byte character (trail bytes
// start at 0x40), so the trims need no scan from the start.
bool IsTrimmable(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

bool IsLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsTrail(unsigned char c)
{
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Matches `seg` (no '*') at text[pos...]; on success sets `end` to the text
// position after the match.
bool MatchSegment(std::string_view seg, std::string_view text, size_t pos, size_t* end)
{
    size_t t = pos;
    size_t p = 0;
    while (p < seg.size()) {
        unsigned char pc = static_cast<unsigned char>(seg[p]);
        if (pc == '?') {
            if (t < text.size() && text[t] != '.')
                ++t;
            ++p;
            continue;
        }
        if (IsLead(pc) && p + 1 < seg.size() && IsTrail(static_cast<unsigned char>(seg[p + 1]))) {
            if (t + 2 > text.size() || text[t] != seg[p] || text[t + 1] != seg[p + 1])
                return false;
            t += 2;
            p += 2;
            continue;
        }
        if (t >= text.size() || Upper(text[t]) != Upper(seg[p]))
            return false;
        ++t;
        ++p;
    }
    *end = t;
    return true;
}

} // namespace

std::string ZoTrimLeft(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsTrimmable(text[i]))
        ++i;
    return std::string(text.substr(i));
}

std::string ZoTrimRight(std::string_view text)
{
    size_t n = text.size();
    while (n > 0 && IsTrimmable(text[n - 1]))
        --n;
    return std::string(text.substr(0, n));
}

std::string ZoTrim(std::string_view text)
{
    return ZoTrimLeft(ZoTrimRight(text));
}

bool WildCardCmp(const char* pattern, const char* text)
{
    std::string_view pat(pattern);
    std::string_view txt(text);

    std::vector<std::string_view> segments;
    size_t start = 0;
    for (;;) {
        size_t star = pat.find('*', start);
        segments.push_back(pat.substr(start, star == std::string_view::npos ? std::string_view::npos : star - start));
        if (star == std::string_view::npos)
            break;
        start = star + 1;
    }

    size_t pos = 0;
    for (size_t s = 0; s < segments.size(); ++s) {
        bool afterStar = s > 0;
        bool last = s + 1 == segments.size();
        std::string_view seg = segments[s];
        if (afterStar && seg.empty()) {
            if (last)
                return true; // a trailing '*' takes the rest of the text
            continue;        // '**' acts as one '*'
        }
        size_t end = 0;
        bool found = false;
        size_t from = pos;
        size_t to = afterStar ? txt.size() : pos;
        for (size_t at = from; at <= to; ++at) {
            if (MatchSegment(seg, txt, at, &end) && (!last || end == txt.size())) {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
        pos = end;
    }
    return pos == txt.size();
}

std::string IntToWideStr(int value, int digits)
{
    int64_t v = value;
    bool negative = v < 0;
    if (negative)
        v = -v;
    std::string decimal = std::to_string(v);
    int width = digits < 1 ? 1 : digits;
    if (static_cast<int>(decimal.size()) < width)
        decimal.insert(0, static_cast<size_t>(width) - decimal.size(), '0');
    std::string out;
    if (negative)
        out += "\x81\x7C"; // "－"
    for (char c : decimal) {
        out += '\x82';
        out += static_cast<char>(0x4F + (c - '0')); // "０".."９"
    }
    return out;
}

char* hstrncpy(char* dest, const char* src, int len, bool stopAtComma)
{
    int n = 0;
    while (n < len) {
        unsigned char c = static_cast<unsigned char>(src[n]);
        if (c == 0 || c == 0x0D || (stopAtComma && c == ','))
            break;
        bool lead = (c >= 0x80 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEF);
        if (lead) {
            // A lone lead byte before the end of src is not copied either.
            if (n + 2 > len || src[n + 1] == '\0')
                break;
            dest[n] = src[n];
            dest[n + 1] = src[n + 1];
            n += 2;
            continue;
        }
        dest[n] = src[n];
        ++n;
    }
    dest[n] = '\0';
    return dest;
}
