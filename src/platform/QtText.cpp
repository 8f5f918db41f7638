#include "platform/QtText.h"

#include "port/Cp932.h"

namespace pendar {

QString FromSjis(std::string_view text)
{
    std::u16string u = port::Cp932ToUtf16(text);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

} // namespace pendar
