// The XDG autostart entry that starts Pendar at log-in: a desktop entry
// <config>/autostart/<id>.desktop whose Exec is the running program's
// absolute path. Nothing about it is kept anywhere else: the file being
// there is the setting.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pendar {

// The entry's text for `executable` (an absolute path), or nothing when the
// path cannot be written into an Exec key (it holds a line break).
std::optional<std::string> AutostartEntryText(const std::string& executable, std::string_view id);

bool AutostartEntryExists(const std::string& path);
// Writes the entry (its folder made when missing), replacing the file whole.
bool WriteAutostartEntry(const std::string& path, const std::string& executable, std::string_view id,
                         std::string* error);
// Removes the entry; true when it is gone (also when it was never there).
bool RemoveAutostartEntry(const std::string& path, std::string* error);

} // namespace pendar
