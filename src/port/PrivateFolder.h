// A folder only this user can change: where the single-instance lock and
// the channel to the running instance live. Another local user must never
// be able to hold the lock, plant a symbolic link there or talk to Pendar.
#pragma once

#include "port/AppFolder.h"

#include <optional>
#include <string>

namespace port {

// True when `path` itself (not followed) is a folder of this user that
// nobody else may write; otherwise false with `why` set.
bool IsPrivateFolder(const std::string& path, std::string* why);

struct PrivateFolder {
    std::string path;   // without a trailing '/'
    std::string notice; // why the runtime folder was passed over, if it was
};

// $XDG_RUNTIME_DIR when it is a private folder; else "pendar" in the cache
// folder ($XDG_CACHE_HOME, or ~/.cache), made with mode 0700 when missing.
// Nothing with `why` set when neither can be had.
std::optional<PrivateFolder> FindPrivateFolder(const EnvLookup& env, std::string* why);

} // namespace port
