// Where Pendar keeps its settings and finds its skins.
// A portable install keeps both beside the executable; an installed one
// follows the XDG base directories.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace port {

struct AppFolders {
    std::string settingsFile;              // full path of Pendar.ini
    std::vector<std::string> dataFolders;  // skin folders ("Data"), searched in order, each ending in '/'
    std::vector<std::string> shareFolders; // the program's own files (help/, Data/), in order, each ending in '/'
    bool portable = false;
};

using EnvLookup = std::function<const char*(const char*)>;

// The rule: the executable's folder when it holds Pendar.ini or Data/ and is
// writable; otherwise $XDG_CONFIG_HOME/Pendar/Pendar.ini for the settings,
// and for skins the user's $XDG_DATA_HOME/Pendar/Data/ followed by the
// installed ones: pendar/Data/ in each folder of $XDG_DATA_DIRS (default
// /usr/local/share:/usr/share), then <exe>/../share/pendar/Data/ so that an
// installed tree works wherever it was unpacked. A folder named twice is
// searched once.
AppFolders ResolveAppFolders(const std::string& exeFolder, const EnvLookup& env);

// The first `relative` file (such as "help/Pendar.html") found in the
// share folders, or "" when there is none.
std::string FindSharedFile(const AppFolders& folders, const std::string& relative);

// The folders of this process (its executable and environment).
const AppFolders& ThisAppFolders();

// The folder of the running executable, ending in '/'.
std::string ExecutableFolder();
// The running executable's absolute path ("" when it cannot be found).
std::string ExecutablePath();

// $XDG_CONFIG_HOME, or ~/.config without it, ending in '/'.
std::string XdgConfigHome(const EnvLookup& env);

// Creates `path` and its missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

} // namespace port
