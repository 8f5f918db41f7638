#include "app/SkinList.h"

#include "app/SkinFiles.h"
#include "dialogs/ZoFolder.h"

#include <algorithm>
#include <cctype>

namespace pendar {

namespace {

// ".Pak" in any letter case at the end of a longer name.
bool IsPackName(const std::string& name)
{
    if (name.size() <= 4)
        return false;
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
    return ext == ".PAK";
}

// Whether OpenSkin(name) opens the skin in `data`.
bool OpensIn(const std::vector<std::string>& dataFolders, const std::string& data, const std::string& name)
{
    std::optional<TSkinSource> source = FindSkinSource(dataFolders, name);
    if (!source)
        return false;
    const std::string& path = source->pack.empty() ? source->folder : source->pack;
    return path.compare(0, data.size(), data) == 0;
}

} // namespace

std::vector<std::string> ListSkins(const std::vector<std::string>& dataFolders)
{
    std::vector<std::string> names;
    for (bool folders : {false, true}) {
        for (const std::string& data : dataFolders) {
            TZoFolder folder;
            if (!folder.OpenFolder(data) || !folder.StartEnum(folders))
                continue;
            TZoFolderItem item;
            while (names.size() < kMaxSkinListEntries && folder.NextItem(item)) {
                std::string name = TZoFolder::ItemName(item, false);
                if (folders) {
                    if (!(item.attributes & SFGAO_FOLDER))
                        continue;
                } else {
                    if (!(item.attributes & SFGAO_FILESYSTEM) || (item.attributes & SFGAO_FOLDER) || !IsPackName(name))
                        continue;
                    name.resize(name.size() - 4);
                }
                if (OpensIn(dataFolders, data, name))
                    names.push_back(std::move(name));
            }
        }
    }
    return names;
}

} // namespace pendar
