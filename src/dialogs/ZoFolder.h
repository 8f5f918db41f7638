// The entries of one folder, in two passes: the entries that are not
// folders, then the folders. Hidden entries are included, "." and ".."
// never. Names come as code page 932; an entry whose name code page 932
// cannot hold is skipped. Entries come sorted by name (letter case ignored,
// then byte order), since the file system's own order is arbitrary.
#pragma once

#include <string>
#include <vector>

// Attribute bits of an entry.
enum : unsigned {
    SFGAO_FILESYSTEM = 1u << 0, // a plain file or a folder (not a device, FIFO or dangling link)
    SFGAO_FOLDER = 1u << 1,
};

struct TZoFolderItem {
    std::string name; // code page 932, with its extension
    std::string path; // the full file-system path
    unsigned attributes = 0;
};

class TZoFolder {
public:
    // Entries read from one folder at most; the rest are left out.
    static constexpr size_t kMaxEntries = 65536;

    // Opens the folder at the file-system path `path`; false when it is no
    // folder that can be read.
    bool OpenFolder(const std::string& path);
    // Starts a pass: the folders when `folders` is true, everything else
    // when false. False when no folder is open or it cannot be read now.
    bool StartEnum(bool folders);
    // The next entry of the pass; false at its end or without a pass.
    bool NextItem(TZoFolderItem& item);
    // The entry's name relative to the folder, or its full path.
    static std::string ItemName(const TZoFolderItem& item, bool full) { return full ? item.path : item.name; }

private:
    std::string folder_; // ends in '/'
    std::vector<TZoFolderItem> items_;
    size_t next_ = 0;
    bool started_ = false;
};
