#include "port/ThreadPriority.h"

#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace port {

namespace {
constexpr int kBelowNormalStep = 5;

id_t ThisThread()
{
    return static_cast<id_t>(::syscall(SYS_gettid));
}
} // namespace

void ThreadPriority::Lower()
{
    if (lowered_)
        return;
    errno = 0;
    int now = ::getpriority(PRIO_PROCESS, ThisThread());
    if (errno != 0)
        return;
    if (::setpriority(PRIO_PROCESS, ThisThread(), now + kBelowNormalStep) == 0) {
        before_ = now;
        lowered_ = true;
    }
}

void ThreadPriority::Restore()
{
    if (!lowered_)
        return;
    ::setpriority(PRIO_PROCESS, ThisThread(), before_); // EACCES without CAP_SYS_NICE: stays lowered
    lowered_ = false;
}

} // namespace port
