// Turns SIGTERM, SIGINT and SIGHUP into a readable file descriptor, so the
// event loop can run the ordinary close path (which saves the settings)
// instead of the process dying mid-way.
#pragma once

namespace port {

class SignalPipe {
public:
    // Installs the handlers; the descriptor becomes readable when one of the
    // signals arrives. Only one instance may exist.
    SignalPipe();
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    int ReadFd() const { return fds_[0]; }
    // Reads what is pending; returns the last signal number seen, or 0.
    int Drain();

private:
    int fds_[2] = {-1, -1};
};

} // namespace port
