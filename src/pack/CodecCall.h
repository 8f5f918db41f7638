// The frame every codec call shares: no input succeeds at once, a busy
// object refuses, and whatever the codec raises (its fixed texts, a memory
// shortage) ends the call with false.
#pragma once

#include "pack/Codec.h"
#include "port/FlagScope.h"

#include <new>

template <typename Body>
bool RunCodecCall(bool& busy, int srcSize, Body&& body)
{
    if (srcSize == 0)
        return true;
    if (busy || srcSize < 0)
        return false;
    pendar::TFlagScope scope(busy);
    try {
        return body();
    } catch (const ECodecError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
