// Brackets a pixel access with Lock/Unlock of a buffer; false (and nothing
// to unlock) when the buffer is not created or refuses the lock.
#pragma once

#include "raster/ZoRGBBits.h"

namespace pendar {

class BufferLock {
public:
    explicit BufferLock(TZoRGBBits& buffer) : buffer_(buffer), held_(buffer.Lock()) {}
    ~BufferLock() { Release(); }
    BufferLock(const BufferLock&) = delete;
    BufferLock& operator=(const BufferLock&) = delete;

    explicit operator bool() const { return held_; }
    void Release()
    {
        if (held_)
            buffer_.Unlock();
        held_ = false;
    }

private:
    TZoRGBBits& buffer_;
    bool held_;
};

} // namespace pendar
