// The whole of standard input as bytes.
#pragma once

#include <cstdio>
#include <string>

namespace pendar::tool {

inline std::string ReadStandardInput()
{
    std::string bytes;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        bytes.append(buffer, n);
    return bytes;
}

} // namespace pendar::tool
