// Header values through the encoded-word decoder and the subject cleaner.
#include "mail/CleanSubject.h"
#include "mail/Pdmime.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)DecodeMimeHeader(text);
    std::string subject = CleanSubject(text);
    for (char c : subject)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F)
            std::abort();
    if (DecodeBase64(text).size() > size || DecodeQuoted(text).size() > size)
        std::abort();
    return 0;
}
