// How a second start reaches the running instance: a Unix socket in the
// lock's private folder. The second start only knocks (connects and goes);
// the running one takes the knocks of this user and brings its character
// back. Nothing is read from the socket, so nothing can be said through it.
#pragma once

#include <string>

namespace port {

class InstanceChannel {
public:
    InstanceChannel() = default;
    ~InstanceChannel();
    InstanceChannel(const InstanceChannel&) = delete;
    InstanceChannel& operator=(const InstanceChannel&) = delete;

    // Listens on <folder>/<name>.sock; the caller holds the instance lock,
    // so a socket of this user left there is stale and replaced. False
    // with `error` set when the name is taken by anything else.
    bool Listen(const std::string& folder, const std::string& name, std::string* error);
    // Readable when knocks wait; -1 when not listening.
    int Fd() const { return fd_; }
    // Takes every waiting knock; true when one came from this user.
    bool TakeKnocks();

    // A second start: knocks at the running instance's socket, which must
    // be this user's; false with `error` when nobody could be reached.
    static bool Knock(const std::string& folder, const std::string& name, std::string* error);

    static std::string SocketPath(const std::string& folder, const std::string& name);

private:
    int fd_ = -1;
    std::string path_;
};

} // namespace port
