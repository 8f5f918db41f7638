// Code page 932 text as Qt shows it.
#pragma once

#include <QString>

#include <string_view>

namespace pendar {

QString FromSjis(std::string_view text);

} // namespace pendar
