#include "app/SkinFiles.h"

#include "platform/FileTests.h"
#include "port/Cp932.h"

#include <QString>

#include <algorithm>
#include <dirent.h>
#include <filesystem>
#include <memory>

namespace pendar {

namespace {

std::vector<std::string> Parts(const std::string& path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        std::string part = path.substr(start, slash - start);
        if (!part.empty() && part != ".")
            parts.push_back(std::move(part));
        start = slash + 1;
    }
    return parts;
}

// Only plain files are read: a FIFO or a device would block or never end.
bool IsRegularFile(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool Exists(const std::string& path)
{
    return FileIsExist(path.c_str()) || FolderIsExist(path.c_str());
}

// The entry of `folder` equal to `part` without regard to case, the first
// in byte order when several are.
std::optional<std::string> FindEntry(const std::string& folder, const std::string& part)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir)
        return std::nullopt;
    const QString wanted = QString::fromUtf8(part);
    std::optional<std::string> found;
    while (dirent* e = readdir(dir.get())) {
        std::string entry = e->d_name;
        if (entry == "." || entry == "..")
            continue;
        if (QString::fromUtf8(entry).compare(wanted, Qt::CaseInsensitive) == 0 && (!found || entry < *found))
            found = entry;
    }
    return found;
}

// `relative` under `folder`, each part matched exactly or else without
// regard to case; it must end at a folder or at a file as asked.
std::optional<std::string> FindIgnoringCase(const std::string& folder, const std::string& relative, bool wantFolder)
{
    std::string path = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    std::vector<std::string> parts = Parts(relative);
    if (parts.empty())
        return std::nullopt;
    for (size_t i = 0; i < parts.size(); ++i) {
        std::string exact = path + parts[i];
        if (!Exists(exact)) {
            std::optional<std::string> entry = FindEntry(path.empty() ? "." : path, parts[i]);
            if (!entry)
                return std::nullopt;
            exact = path + *entry;
        }
        path = i + 1 < parts.size() ? exact + "/" : exact;
    }
    bool found = wantFolder ? FolderIsExist(path.c_str()) : IsRegularFile(path);
    if (!found)
        return std::nullopt;
    return path;
}

} // namespace

std::optional<TSkinSource> FindSkinSource(const std::vector<std::string>& dataFolders, std::string_view name)
{
    std::optional<std::string> relative = SkinRelativePath(name);
    if (!relative || relative->find('/') != std::string::npos || dataFolders.empty())
        return std::nullopt;
    for (const std::string& data : dataFolders) {
        if (std::optional<std::string> pack = FindIgnoringCase(data, *relative + ".Pak", false))
            return TSkinSource{*pack, {}};
        if (std::optional<std::string> folder = FindIgnoringCase(data, *relative, true))
            return TSkinSource{{}, *folder + "/"};
    }
    return TSkinSource{{}, dataFolders.front() + *relative + "/"};
}

std::optional<TSkinSource> SkinSourceFromPath(const std::string& path)
{
    if (FolderIsExist(path.c_str()))
        return TSkinSource{{}, path.back() == '/' ? path : path + "/"};
    if (IsRegularFile(path))
        return TSkinSource{path, {}};
    return std::nullopt;
}

std::optional<std::string> SkinRelativePath(std::string_view cp932Name)
{
    if (cp932Name.empty() || cp932Name.find('\0') != std::string_view::npos)
        return std::nullopt;
    // Decoded first: 0x5C can be the trail byte of a double-byte character.
    std::optional<std::string> utf8 = port::Cp932ToUtf8Strict(cp932Name);
    if (!utf8)
        return std::nullopt;
    std::replace(utf8->begin(), utf8->end(), '\\', '/');
    const std::string& path = *utf8;
    bool drive = path.size() >= 2 && path[1] == ':' &&
                 ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    if (path.front() == '/' || drive)
        return std::nullopt;
    std::vector<std::string> parts = Parts(path);
    if (parts.empty() || std::find(parts.begin(), parts.end(), "..") != parts.end())
        return std::nullopt;
    std::string joined;
    for (const std::string& p : parts)
        joined += (joined.empty() ? "" : "/") + p;
    return joined;
}

std::optional<std::string> FindFileIgnoringCase(const std::string& folder, const std::string& relative)
{
    return FindIgnoringCase(folder, relative, false);
}

} // namespace pendar
