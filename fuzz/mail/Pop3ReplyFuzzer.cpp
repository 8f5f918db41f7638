// Server replies through every POP3 reply parser: nothing may read out of
// bounds or raise anything but the mail errors.
#include "mail/MailErrors.h"
#include "mail/Pop3Reply.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view reply(reinterpret_cast<const char*>(data), size);
    for (int n = 0; n <= 4; ++n)
        if (pendar::ReplyWord(reply, n).size() > reply.size())
            std::abort();
    (void)pendar::ReplyIsOk(reply);
    (void)pendar::IsTerminator(reply);
    (void)pendar::SubjectOfLine(reply);
    (void)pendar::StrToIntDef(pendar::ReplyWord(reply, 2), 0);
    if (auto stamp = pendar::ApopTimestamp(reply))
        for (char c : *stamp)
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
                std::abort();
    try {
        (void)pendar::ApopStatCount(reply);
    } catch (const EMailError&) {
    }
    try {
        if (pendar::ParseMessageSize(pendar::ReplyWord(reply, 3)) < 0)
            std::abort();
    } catch (const EMailError&) {
    }
    return 0;
}
