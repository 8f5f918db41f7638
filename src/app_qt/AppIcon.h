// The application's icon for its windows: the icon theme's when the desktop
// has it installed, else the icon files of the tree Pendar runs from (an
// unpacked package or the build folder).
#pragma once

#include <QIcon>

namespace port {
struct AppFolders;
}

namespace pendar {

QIcon ApplicationIcon(const port::AppFolders& folders);

} // namespace pendar
