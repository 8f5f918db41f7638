// Changing a pack file so that a failure or a kill at any moment leaves the
// old pack or the new one, complete: the work happens on a copy in the same
// folder, which is flushed and renamed over the original at the end.
#pragma once

#include "pack/Zopack.h"

#include <functional>
#include <string>

namespace pendar {

enum class PackStart {
    New,            // an empty pack, replacing any old one
    ExistingOrNew,  // the pack as it is, or an empty one when there is none
    Existing,       // the pack as it is; fails when there is none
};

// Opens the working copy writable (an existing pack must load with its CRC
// sound), runs `edit`, commits and replaces `path`. False with `error` set
// when any step fails; `path` is then untouched.
bool EditPack(const std::string& path, PackStart start, const std::function<bool(TZoPack&, std::string&)>& edit,
              std::string& error);

} // namespace pendar
