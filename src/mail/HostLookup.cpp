#include "mail/HostLookup.h"

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pendar {

struct HostLookup::State {
    std::string host;
    int pipe[2] = {-1, -1};
    std::atomic<bool> done{false};
    bool found = false; // written before `done`, read after it
    in_addr_t address = 0;
    ~State()
    {
        for (int fd : pipe)
            if (fd >= 0)
                ::close(fd);
    }
};

HostLookup::HostLookup(const std::string& host) : state_(std::make_shared<State>())
{
    state_->host = host;
    if (::pipe2(state_->pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    try {
        std::thread([state = state_] {
            addrinfo hints{};
            hints.ai_family = AF_INET;
            hints.ai_socktype = SOCK_STREAM;
            addrinfo* answer = nullptr;
            if (::getaddrinfo(state->host.c_str(), nullptr, &hints, &answer) == 0) {
                for (addrinfo* a = answer; a; a = a->ai_next) {
                    if (a->ai_family == AF_INET && a->ai_addrlen >= sizeof(sockaddr_in)) {
                        state->address = reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr;
                        state->found = true;
                        break;
                    }
                }
                ::freeaddrinfo(answer);
            }
            state->done.store(true, std::memory_order_release);
            char one = 1;
            [[maybe_unused]] ssize_t w = ::write(state->pipe[1], &one, 1);
        }).detach();
        started_ = true;
    } catch (const std::system_error&) {
        started_ = false;
    }
}

HostLookup::~HostLookup() = default;

int HostLookup::ReadyFd() const
{
    return state_->pipe[0];
}

bool HostLookup::Done() const
{
    return state_->done.load(std::memory_order_acquire);
}

std::optional<in_addr_t> HostLookup::Address() const
{
    if (!Done() || !state_->found)
        return std::nullopt;
    return state_->address;
}

} // namespace pendar
