#include "mail/ServerText.h"

namespace pendar {

std::string ReplaceControlBytes(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\n') || b == 0x7F)
            c = ' ';
    }
    return out;
}

} // namespace pendar
