// Bytes through the Japanese code conversion in every direction. The first
// byte picks the source, the target and the line ends; the output must
// stay within its bound.
#include "mail/Pdjpcode.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    int from = data[0] & 3;
    int to = 1 + (data[0] >> 2) % 3;
    bool crlf = (data[0] & 0x80) != 0;
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string out = ConvertKanjiCode(text, from, to, crlf);
    if (out.size() > std::max<size_t>(3 * text.size(), 256))
        std::abort();
    (void)Utf8ToSjis(text);
    (void)Utf7ToSjis(text);
    return 0;
}
