// The name the desktop knows Pendar by: its desktop entry
// (<id>.desktop), its icon, its AppStream metadata and its autostart entry.
// The build reads the id from this line, so it is written in one place.
#pragma once

namespace pendar {

inline constexpr char kDesktopId[] = "org.pendar.Pendar";

} // namespace pendar
