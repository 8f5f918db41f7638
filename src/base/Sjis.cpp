#include "base/Sjis.h"

#include "port/Cp932.h"

#include <cstdio>
#include <cstdlib>

std::string Sjis(std::string_view utf8)
{
    auto text = port::Utf8ToCp932Strict(utf8);
    if (!text) {
        std::fprintf(stderr, "Sjis: text not representable in code page 932: %.*s\n",
                     static_cast<int>(utf8.size()), utf8.data());
        std::abort();
    }
    return *text;
}
