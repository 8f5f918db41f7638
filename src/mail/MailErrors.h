// Exceptions of the mail client. Each carries only its message, which the
// callers log; the class name matters too: the application logs
// ESocketError as "OtherError ".
#pragma once

#include <stdexcept>
#include <string>

// Plain failures: "Not Connected", "No Timer", refused log-ins, server lines.
class EMailError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Socket failures: connect, lookup, send and receive errors.
class ESockError : public EMailError {
public:
    using EMailError::EMailError;
};

// A send or line read ended by cancellation or its time-out.
class EAbortError : public EMailError {
public:
    using EMailError::EMailError;
};

// APOP log-in failures.
class ESocketError : public EMailError {
public:
    using EMailError::EMailError;
};

// A text longer than one send may carry.
class ERangeError : public EMailError {
public:
    using EMailError::EMailError;
};

// A server's number that is not a decimal integer.
class EConvertError : public EMailError {
public:
    using EMailError::EMailError;
};
