// The skins the character selection offers: in each data folder the packs
// ("<name>.Pak", the extension in any case) and then the folders, each
// listed under the name OpenSkin opens it by. A name that an earlier data
// folder already holds is left out there, since it would open the earlier
// skin. Folders are listed whether or not they hold a skin.
#pragma once

#include <string>
#include <vector>

namespace pendar {

constexpr size_t kMaxSkinListEntries = 256;

// Names in code page 932: all packs first, then all folders, at most
// kMaxSkinListEntries. `dataFolders` end in '/'.
std::vector<std::string> ListSkins(const std::vector<std::string>& dataFolders);

} // namespace pendar
