// The user's own files that Pendar reads and replaces (Pendar.ini): symbolic
// links are followed only while each belongs to the user, and a file is
// replaced only when it is the user's own regular file and its owner write
// bit is set. Running as root does not change these rules: they look at
// owners and modes, never at access(2).
#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

namespace port {

enum class FileCheck {
    Missing, // nothing there (a plain name, not a dangling link)
    Usable,  // `path` may be read, or replaced
    Refused, // there, but not to be touched: `reason` says why
    Failed,  // the file system failed to answer: `reason` says why
};

struct UserFile {
    FileCheck state = FileCheck::Missing;
    std::string path;   // the file itself, links followed
    std::string reason; // for Refused and Failed
};

// Follows `path` through the user's own symbolic links to the file itself.
// Refused for a link of another user, a dangling link, a link loop, or
// something other than a regular file.
UserFile FollowUserLinks(const std::string& path);

// Whether `path` may be replaced: Missing (create it), Usable (replace the
// file at `.path`, in its own folder), or Refused when the file belongs to
// another user or its owner write bit is clear (read-only).
UserFile ReplaceTarget(const std::string& path);

enum class ReadResult { Read, Missing, Unreadable };

// Reads the whole of `path` (links followed as above) when it is at most
// `cap` bytes. Unreadable with `reason` for a refused link, no permission,
// a file over the cap or a read error.
ReadResult ReadUserFile(const std::string& path, size_t cap, std::string* bytes, std::string* reason);

// Removes the temporary files a killed save left beside the file `path`
// stands for ("<name>.tmp-XXXXXX", the user's own regular files only).
// Call it only while no other save of that file can run.
void RemoveStaleTemporaries(const std::string& path);

} // namespace port
