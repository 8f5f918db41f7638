// Where Pendar keeps its settings and finds its skins.
// A portable install keeps both beside the executable; an installed one
// follows the XDG base directories.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace port {

struct AppFolders {
    std::string settingsFile;             // full path of Pendar.ini
    std::vector<std::string> dataFolders; // skin folders ("Data"), searched in order, each ending in '/'
    bool portable = false;
};

using EnvLookup = std::function<const char*(const char*)>;

// The rule: the executable's folder when it holds Pendar.ini or Data/ and is
// writable; otherwise $XDG_CONFIG_HOME/Pendar/Pendar.ini for the settings and
// $XDG_DATA_HOME/Pendar/Data/ then <exe>/../share/pendar/Data/ for skins.
AppFolders ResolveAppFolders(const std::string& exeFolder, const EnvLookup& env);

// The folders of this process (its executable and environment).
const AppFolders& ThisAppFolders();

// The folder of the running executable, ending in '/'.
std::string ExecutableFolder();

// Creates `path` and its missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

} // namespace port
