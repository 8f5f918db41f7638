// While a mail check runs or a modal dialog of the main window is shown:
// its flag set and, where the caller gives a lock, the menu entries that
// must not start inside it locked. Both are undone when the scope ends,
// also by an exception.
#pragma once

#include "port/FlagScope.h"

#include <functional>
#include <utility>

namespace pendar {

class TBusyScope {
public:
    // lock(true) when the scope begins, lock(false) when it ends.
    using MenuLock = std::function<void(bool locked)>;

    explicit TBusyScope(bool& flag, MenuLock lock = {}) : flag_(flag), lock_(std::move(lock))
    {
        if (lock_)
            lock_(true);
    }
    ~TBusyScope()
    {
        if (lock_)
            lock_(false);
    }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    TFlagScope flag_;
    MenuLock lock_;
};

} // namespace pendar
