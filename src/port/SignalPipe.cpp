#include "port/SignalPipe.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace port {

namespace {

volatile sig_atomic_t writeFd = -1;

void OnSignal(int sig)
{
    int saved = errno;
    unsigned char b = static_cast<unsigned char>(sig);
    if (writeFd >= 0) {
        ssize_t n = ::write(writeFd, &b, 1); // a full pipe already holds a wake-up
        (void)n;
    }
    errno = saved;
}

} // namespace

SignalPipe::SignalPipe()
{
    if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
        fds_[0] = fds_[1] = -1;
        return;
    }
    writeFd = fds_[1];
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
}

SignalPipe::~SignalPipe()
{
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
    writeFd = -1;
    for (int fd : fds_)
        if (fd >= 0)
            ::close(fd);
}

int SignalPipe::Drain()
{
    int last = 0;
    unsigned char buf[16];
    ssize_t n;
    while ((n = ::read(fds_[0], buf, sizeof buf)) > 0)
        last = buf[n - 1];
    return last;
}

} // namespace port
