// The frame every codec call shares: no input succeeds at once, a busy
// object refuses, and whatever the codec raises (its fixed texts, a memory
// shortage) ends the call with false.
#pragma once

#include "pack/Codec.h"

#include <new>

// Sets a stage's busy flag for the length of one call.
class ScopedBusy {
public:
    explicit ScopedBusy(bool& flag) : flag_(flag) { flag_ = true; }
    ~ScopedBusy() { flag_ = false; }
    ScopedBusy(const ScopedBusy&) = delete;
    ScopedBusy& operator=(const ScopedBusy&) = delete;

private:
    bool& flag_;
};

template <typename Body>
bool RunCodecCall(bool& busy, int srcSize, Body&& body)
{
    if (srcSize == 0)
        return true;
    if (busy || srcSize < 0)
        return false;
    ScopedBusy scope(busy);
    try {
        return body();
    } catch (const ECodecError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
