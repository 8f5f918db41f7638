// The free name tag of a pixel buffer or alpha plane: 16 bytes, not
// necessarily zero-terminated.
#pragma once

#include <algorithm>
#include <cstring>
#include <string_view>

namespace pendar {

class NameTag {
public:
    std::string_view Get() const { return std::string_view(bytes_, strnlen(bytes_, sizeof bytes_)); }
    // Clears the tag and keeps at most 16 bytes of `name`.
    void Set(std::string_view name)
    {
        std::memset(bytes_, 0, sizeof bytes_);
        std::memcpy(bytes_, name.data(), std::min(name.size(), sizeof bytes_));
    }

private:
    char bytes_[16] = {};
};

} // namespace pendar
