#include "mail/MailErrors.h"
#include "mail/SocketErrorText.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

std::string Raised(int err)
{
    try {
        pendar::RaiseSocketError(err);
    } catch (const ESockError& e) {
        return e.what();
    }
    return "";
}

TEST(SocketErrorText, ErrnoBecomesTheLoggedText)
{
    struct {
        int err;
        const char* text;
    } const cases[] = {
        {0, ""},
        {EAGAIN, ""}, // would block: the normal outcome on these sockets
        {EINPROGRESS, ""},
        {ECONNRESET, "10054:Connection reset by peer"},
        {EPIPE, "10054:Connection reset by peer"},
        {ETIMEDOUT, "10060:Connection timed out"},
        {ECONNREFUSED, "10061:Connection refused"},
        {EHOSTUNREACH, "10065:No route to Host"},
        {ENETUNREACH, "10051:Network is unreachable"},
        {ENOTCONN, "10057:Socket is not connected"},
        {EADDRNOTAVAIL, "10049:Can't assign requested address"},
        {EIO, "Unknown Error No. 5"}, // no code of its own: never let pass
    };
    for (const auto& c : cases)
        EXPECT_EQ(Raised(c.err), c.text) << c.err;
}

TEST(SocketErrorText, CodesOutsideTheTable)
{
    EXPECT_EQ(pendar::SocketErrorMessage(11004), "11004:Valid name, no data record of requested type");
    EXPECT_EQ(pendar::SocketErrorMessage(10072), "Unknown Error No. 10072");
}

} // namespace
