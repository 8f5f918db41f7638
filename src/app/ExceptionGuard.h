// Every entry point from Qt (timer, menu, mouse, tray, socket notifier) runs
// inside Guarded(): whatever escapes is logged by the main window's exception
// hook instead of unwinding into the event loop.
#pragma once

#include "app/MainForm.h"

#include <exception>
#include <string>
#include <utility>

namespace pendar {

// The exception's class name without namespaces ("ESocketError").
std::string ExceptionClassName(const std::exception& e);

template <typename F>
void Guarded(TMainForm& form, F&& f)
{
    try {
        std::forward<F>(f)();
    } catch (const std::exception& e) {
        form.ApplicationException(ExceptionClassName(e), e.what());
    } catch (...) {
        form.ApplicationException("Exception", "unknown exception");
    }
}

} // namespace pendar
