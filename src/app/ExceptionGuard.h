// Every entry point from Qt (timer, menu, mouse, tray, socket notifier) runs
// inside Guarded(): whatever escapes is handed to the exception hook (the
// main window's ApplicationException) instead of unwinding into the event
// loop.
#pragma once

#include "base/LogSink.h"

#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace pendar {

// The exception's class name without namespaces ("ESocketError").
std::string ExceptionClassName(const std::exception& e);

// What escaped, as the log tells it: "OtherError " for a socket's error,
// "Error " for the rest, then the message.
void LogException(ILogSink& log, std::string_view className, std::string_view message);

// `hook` is anything with ApplicationException(className, message).
template <typename Hook, typename F>
void Guarded(Hook& hook, F&& f)
{
    try {
        std::forward<F>(f)();
    } catch (const std::exception& e) {
        hook.ApplicationException(ExceptionClassName(e), e.what());
    } catch (...) {
        hook.ApplicationException("Exception", "unknown exception");
    }
}

} // namespace pendar
