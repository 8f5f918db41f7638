// Where a skin's files are: the pack or folder of a skin name, and the
// files named inside a skin. Names inside a skin are code page 932 bytes
// written for a file system that ignores letter case and separates folders
// with '\'.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pendar {

// A skin's home: a pack file, or a folder of loose files (ending in '/').
struct TSkinSource {
    std::string pack;   // set for a pack
    std::string folder; // set for a folder
};

// The skin `name` (code page 932) in the first of `dataFolders` (each
// ending in '/') that holds "<name>.Pak" or "<name>/"; the pack wins within
// a folder. When none holds it, the folder in the first data folder (which
// then fails to open). nullopt for a name that is no plain file name.
std::optional<TSkinSource> FindSkinSource(const std::vector<std::string>& dataFolders, std::string_view name);

// A path given on a command line: a pack file or a skin folder.
std::optional<TSkinSource> SkinSourceFromPath(const std::string& path);

// The relative path (UTF-8, '/' separators, no empty or "." parts) of a
// name inside a skin; nullopt when the name is empty, holds a NUL byte, is
// not code page 932, is absolute (a leading separator or a drive letter) or
// has a ".." part.
std::optional<std::string> SkinRelativePath(std::string_view cp932Name);

// The plain file `relative` under `folder`, each part matched without regard
// to letter case when no exact match exists; nullopt when there is none.
std::optional<std::string> FindFileIgnoringCase(const std::string& folder, const std::string& relative);

} // namespace pendar
