#include "dialogs/ZoFolder.h"

#include "port/Cp932.h"

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace {

std::string Lowered(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

unsigned AttributesOf(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) // a dangling link
        return 0;
    if (S_ISDIR(st.st_mode))
        return unsigned{SFGAO_FILESYSTEM} | SFGAO_FOLDER;
    return S_ISREG(st.st_mode) ? unsigned{SFGAO_FILESYSTEM} : 0u;
}

} // namespace

bool TZoFolder::OpenFolder(const std::string& path)
{
    items_.clear();
    started_ = false;
    folder_.clear();
    if (path.empty())
        return false;
    std::string folder = path.back() == '/' ? path : path + "/";
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    folder_ = std::move(folder);
    return true;
}

bool TZoFolder::StartEnum(bool folders)
{
    items_.clear();
    next_ = 0;
    started_ = false;
    if (folder_.empty())
        return false;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder_.c_str()), closedir);
    if (!dir)
        return false;
    size_t seen = 0;
    while (dirent* e = readdir(dir.get())) {
        if (++seen > kMaxEntries)
            break;
        const std::string entry = e->d_name;
        if (entry == "." || entry == "..")
            continue;
        std::optional<std::string> name = port::Utf8ToCp932Strict(entry);
        if (!name)
            continue;
        TZoFolderItem item{std::move(*name), folder_ + entry, 0};
        item.attributes = AttributesOf(item.path);
        if (((item.attributes & SFGAO_FOLDER) != 0) == folders)
            items_.push_back(std::move(item));
    }
    std::sort(items_.begin(), items_.end(), [](const TZoFolderItem& a, const TZoFolderItem& b) {
        const std::string la = Lowered(a.path);
        const std::string lb = Lowered(b.path);
        return la != lb ? la < lb : a.path < b.path;
    });
    started_ = true;
    return true;
}

bool TZoFolder::NextItem(TZoFolderItem& item)
{
    if (!started_ || next_ >= items_.size())
        return false;
    item = items_[next_++];
    return true;
}
