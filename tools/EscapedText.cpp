#include "EscapedText.h"

#include "port/Cp932.h"

#include <cstdio>

namespace pendar::tool {

namespace {

void AppendByteEscape(std::string& out, unsigned char b)
{
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", b);
    out += hex;
}

} // namespace

std::string EscapedText(std::string_view cp932)
{
    std::string out;
    size_t i = 0;
    while (i < cp932.size()) {
        auto b = static_cast<unsigned char>(cp932[i]);
        if (b < 0x80) {
            switch (b) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (b < 0x20 || b == 0x7F)
                    AppendByteEscape(out, b);
                else
                    out += static_cast<char>(b);
            }
            ++i;
            continue;
        }
        size_t length = port::IsCp932LeadByte(b) && i + 1 < cp932.size() &&
                                port::IsCp932TrailByte(static_cast<unsigned char>(cp932[i + 1]))
                            ? 2
                            : 1;
        auto utf8 = port::Cp932ToUtf8Strict(cp932.substr(i, length));
        if (utf8) {
            out += *utf8;
            i += length;
        } else {
            AppendByteEscape(out, b); // the next byte is looked at on its own
            ++i;
        }
    }
    return out;
}

} // namespace pendar::tool
