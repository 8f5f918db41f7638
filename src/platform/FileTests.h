// Existence tests for paths (file system bytes). Neither ever reports an
// error of its own: a missing or unreadable path is simply false.
#pragma once

// True when `path` names something that is not a folder.
bool FileIsExist(const char* path);
// True when `path` names a folder.
bool FolderIsExist(const char* path);
