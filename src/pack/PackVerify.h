// A full check of a pack: its CRC, every entry's CRC, and a decode of every
// live entry.
#pragma once

#include <string>
#include <vector>

namespace pendar {

struct PackProblem {
    bool wholePack = false;  // true: the pack itself; false: the entry `name`
    std::string name;        // code page 932
    std::string reason;
};

// Empty when the pack is sound.
std::vector<PackProblem> VerifyPack(const std::string& path);

// Why the file at `path` does not load as a pack ("cannot be opened: ...",
// "unknown version 0x1234", ...); empty when it loads.
std::string LoadProblem(const std::string& path);

} // namespace pendar
