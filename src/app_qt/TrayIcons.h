// The notification-area icons "SMALLICON" and "SMALLFLASH": a small clock,
// and the same clock lit up for the flashing after news.
#pragma once

#include <QIcon>

#include <string_view>

namespace pendar {

// The icon of that name; a null icon for names it does not know.
QIcon TrayIconNamed(std::string_view name);

} // namespace pendar
