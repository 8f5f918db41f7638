// Socket error codes and their texts, as the clock has always logged them:
// "10061:Connection refused". POSIX errno values are mapped to these codes.
#pragma once

#include <string>

namespace pendar {

constexpr int kWouldBlock = 10035;
constexpr int kNotConnected = 10057;

// The socket error code for `err`; 0 for no error, kWouldBlock for
// EAGAIN/EWOULDBLOCK/EINPROGRESS, -1 when there is no such code.
int SocketErrorCode(int err);

// "code:text" for a code of the table, "Unknown Error No. code" otherwise.
std::string SocketErrorMessage(int code);

// The message for a failed call's errno: its code's, or its own number's
// when it has no code.
std::string SocketErrorText(int err);

// Throws ESockError for a failed call's errno; returns for no error and
// the would-block case. An errno without a code is reported by its own
// number, never let pass.
void RaiseSocketError(int err);

} // namespace pendar
