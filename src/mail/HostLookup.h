// Name lookup on a worker thread, so that a slow resolver never freezes the
// window. The caller waits on ReadyFd() (readable once the answer is in)
// with its own event loop and may give up at any time: the worker then
// finishes on its own and its answer is dropped.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include <netinet/in.h>

namespace pendar {

class HostLookup {
public:
    // Starts the lookup of `host` (first IPv4 address). Started() is false
    // when no worker could be made.
    explicit HostLookup(const std::string& host);
    ~HostLookup();
    HostLookup(const HostLookup&) = delete;
    HostLookup& operator=(const HostLookup&) = delete;

    bool Started() const { return started_; }
    int ReadyFd() const;
    bool Done() const;
    // The address, once Done(); nullopt when the name did not resolve.
    std::optional<in_addr_t> Address() const;

    struct State;

private:
    std::shared_ptr<State> state_;
    bool started_ = false;
};

} // namespace pendar
