#include "port/Cp932.h"

#include <cerrno>
#include <iconv.h>

namespace port {

namespace {

// One converter per direction and thread; iconv descriptors are not shareable.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in` into `out`. On an invalid or unconvertible sequence, calls
    // onBad(out, in, left) which must consume at least one input byte or
    // return false to give up.
    template <typename OnBad>
    bool Run(const char* in, size_t inLen, std::string& out, OnBad onBad)
    {
        out.clear();
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buf[4096];
        auto* src = const_cast<char*>(in);
        size_t left = inLen;
        while (left > 0) {
            char* dst = buf;
            size_t room = sizeof buf;
            size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buf, static_cast<size_t>(dst - buf));
            if (r != static_cast<size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            if (!onBad(out, src, left))
                return false;
        }
        return true;
    }

private:
    iconv_t cd_;
};

Converter& Cp932ToUtf16Conv()
{
    thread_local Converter c("UTF-16LE", "CP932");
    return c;
}
Converter& Utf16ToCp932Conv()
{
    thread_local Converter c("CP932", "UTF-16LE");
    return c;
}

std::u16string FromUtf16Bytes(const std::string& bytes)
{
    std::u16string s(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return s;
}

std::string ToUtf16Bytes(std::u16string_view s)
{
    std::string bytes(s.size() * 2, '\0');
    for (size_t i = 0; i < s.size(); ++i) {
        bytes[2 * i] = static_cast<char>(s[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(s[i] >> 8);
    }
    return bytes;
}

// Length in UTF-16 units of the character starting at `p` (1 or 2 for a pair).
size_t Utf16UnitLength(const char* p, size_t left)
{
    if (left >= 4) {
        unsigned hi = static_cast<unsigned char>(p[0]) | (static_cast<unsigned char>(p[1]) << 8);
        unsigned lo = static_cast<unsigned char>(p[2]) | (static_cast<unsigned char>(p[3]) << 8);
        if (hi >= 0xD800 && hi <= 0xDBFF && lo >= 0xDC00 && lo <= 0xDFFF)
            return 2;
    }
    return 1;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Utf16ToUtf8(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

// Decodes UTF-8; invalid sequences give nullopt (strict) or U+FFFD.
std::optional<std::u16string> Utf8ToUtf16(std::string_view s, bool strict)
{
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        char32_t c = 0;
        size_t n = 0;
        char32_t min = 0;
        if (b < 0x80) {
            c = b;
            n = 0;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            n = 1;
            min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            n = 2;
            min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            n = 3;
            min = 0x10000;
        } else {
            n = SIZE_MAX;
        }
        bool ok = n != SIZE_MAX;
        if (ok) {
            for (size_t k = 1; k <= n; ++k) {
                if (i + k >= s.size()) {
                    ok = false;
                    break;
                }
                unsigned char t = static_cast<unsigned char>(s[i + k]);
                if ((t & 0xC0) != 0x80) {
                    ok = false;
                    break;
                }
                c = (c << 6) | (t & 0x3F);
            }
        }
        if (ok && (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)))
            ok = false;
        if (!ok) {
            if (strict)
                return std::nullopt;
            out += u'\uFFFD';
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += n + 1;
    }
    return out;
}

} // namespace

bool IsLeadByteAt(std::string_view text, size_t pos)
{
    size_t i = 0;
    while (i < pos) {
        if (IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size())
            i += 2;
        else
            ++i;
    }
    return i == pos && pos < text.size() && IsCp932LeadByte(static_cast<unsigned char>(text[pos]));
}

std::optional<std::u16string> Cp932ToUtf16Strict(std::string_view cp932)
{
    std::string out;
    if (!Cp932ToUtf16Conv().Run(cp932.data(), cp932.size(), out,
                                [](std::string&, char*&, size_t&) { return false; }))
        return std::nullopt;
    return FromUtf16Bytes(out);
}

std::u16string Cp932ToUtf16(std::string_view cp932)
{
    std::string out;
    Cp932ToUtf16Conv().Run(cp932.data(), cp932.size(), out, [](std::string& o, char*& src, size_t& left) {
        o += "\xFD\xFF"; // U+FFFD, little-endian
        ++src;
        --left;
        return true;
    });
    return FromUtf16Bytes(out);
}

std::optional<std::string> Utf16ToCp932Strict(std::u16string_view utf16)
{
    std::string bytes = ToUtf16Bytes(utf16);
    std::string out;
    if (!Utf16ToCp932Conv().Run(bytes.data(), bytes.size(), out,
                                [](std::string&, char*&, size_t&) { return false; }))
        return std::nullopt;
    return out;
}

std::string Utf16ToCp932(std::u16string_view utf16)
{
    std::string bytes = ToUtf16Bytes(utf16);
    std::string out;
    Utf16ToCp932Conv().Run(bytes.data(), bytes.size(), out, [](std::string& o, char*& src, size_t& left) {
        size_t units = Utf16UnitLength(src, left) * 2;
        if (units > left)
            units = left;
        o += '?';
        src += units;
        left -= units;
        return true;
    });
    return out;
}

std::optional<std::string> Cp932ToUtf8Strict(std::string_view cp932)
{
    auto u16 = Cp932ToUtf16Strict(cp932);
    if (!u16)
        return std::nullopt;
    return Utf16ToUtf8(*u16);
}

std::string Cp932ToUtf8(std::string_view cp932)
{
    return Utf16ToUtf8(Cp932ToUtf16(cp932));
}

std::optional<std::string> Utf8ToCp932Strict(std::string_view utf8)
{
    auto u16 = Utf8ToUtf16(utf8, true);
    if (!u16)
        return std::nullopt;
    return Utf16ToCp932Strict(*u16);
}

std::string Utf8ToCp932(std::string_view utf8)
{
    return Utf16ToCp932(*Utf8ToUtf16(utf8, false));
}

} // namespace port
