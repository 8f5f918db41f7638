// A counter that wraps when counting up past its maximum and stops at 0 when
// counting down; both directions report the crossing.
#pragma once

class TCounter {
public:
    TCounter() : TCounter(9999, 1) {}
    explicit TCounter(int maxVal) : TCounter(maxVal, 1) {}
    TCounter(int maxVal, int addVal);

    // A non-positive maximum becomes 1; the step and count follow it down.
    void SetMaxVal(int maxVal);
    // Clamped into 0..maximum.
    void SetAddVal(int addVal);
    // Lowered to maximum - 1 when above it.
    void SetCount(int count);
    int GetMaxVal() const { return max_; }
    int GetAddVal() const { return step_; }
    int GetCount() const { return count_; }

    // count += v; reaching the maximum takes it off once and returns true.
    bool AddVal(int v);
    // count -= v; going below 0 stops at 0 and returns true.
    bool SubVal(int v);
    bool IncVal() { return AddVal(step_); }
    bool DecVal() { return SubVal(step_); }
    bool IsZero() const { return count_ == 0; }

private:
    int max_ = 1;
    int step_ = 1;
    int count_ = 0;
};
