// Opens a document or a URL with the desktop's default application
// (xdg-open), started in the document's folder. Failures with a cause the
// user can act on (no such file or folder, nothing to open it with) are
// shown in a message box; nothing happens for an empty path.
#pragma once

#include <string_view>

// `path` is in file-system bytes.
void ZoFileExec(std::string_view path);
