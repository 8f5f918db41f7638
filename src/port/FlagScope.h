// A flag that is set while a scope runs and cleared when it ends, also by
// an exception: re-entry guards and "busy" states.
#pragma once

namespace pendar {

class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagScope() { flag_ = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
};

} // namespace pendar
