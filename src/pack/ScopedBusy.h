// Sets a codec object's busy flag for the length of one call.
#pragma once

class ScopedBusy {
public:
    explicit ScopedBusy(bool& flag) : flag_(flag) { flag_ = true; }
    ~ScopedBusy() { flag_ = false; }
    ScopedBusy(const ScopedBusy&) = delete;
    ScopedBusy& operator=(const ScopedBusy&) = delete;

private:
    bool& flag_;
};
