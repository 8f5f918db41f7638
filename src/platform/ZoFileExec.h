// Opens a document or a URL with the desktop's default application
// (xdg-open), started in the document's folder. Failures are shown in a
// message box: what is known at once (no such file or folder, no xdg-open)
// before it returns, the opener's failure (its exit status) when it ends,
// on the application's thread. Nothing happens for an empty path.
#pragma once

#include <functional>
#include <string_view>

// Called with the shell's error code (2 no such file, 3 no such folder, 31
// nothing to open it with, ...) when opening failed: on the thread that
// called ZoFileExec for what is known at once, on the application's thread
// (through its event loop) for the opener's own failure.
using ZoFileExecFailure = std::function<void(int shellCode)>;

// `path` is in file-system bytes. With `onFailure`, a failure goes to it
// instead of the message box (a caller that has another way to show the
// document).
void ZoFileExec(std::string_view path, const ZoFileExecFailure& onFailure = nullptr);
