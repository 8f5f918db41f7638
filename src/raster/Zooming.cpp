#include "raster/Zooming.h"

#include <algorithm>
#include <cstdint>

namespace {

// Steps through max(from, to) positions; Advance() says which of the two
// sides moves on after the current step.
class Stepper {
public:
    Stepper(int from, int to) : from_(from), to_(to), steps_(std::max(from, to)) {}
    int Steps() const { return steps_; }
    // Returns {source moves, destination moves}.
    std::pair<bool, bool> Advance()
    {
        fromAcc_ += from_;
        toAcc_ += to_;
        bool a = fromAcc_ >= steps_;
        bool b = toAcc_ >= steps_;
        if (a)
            fromAcc_ -= steps_;
        if (b)
            toAcc_ -= steps_;
        return {a, b};
    }

private:
    int64_t from_;
    int64_t to_;
    int steps_;
    int64_t fromAcc_ = 0;
    int64_t toAcc_ = 0;
};

template <typename T>
int Zoom(const T* src, int srcW, int srcH, int64_t srcPitch, T* dst, int dstW, int dstH, int64_t dstPitch)
{
    if (srcW < 1 || srcH < 1 || dstW < 1 || dstH < 1)
        return 0;
    Stepper rows(srcH, dstH);
    for (int r = 0; r < rows.Steps(); ++r) {
        const T* s = src;
        T* d = dst;
        Stepper cols(srcW, dstW);
        for (int c = 0; c < cols.Steps(); ++c) {
            *d = *s;
            auto [sourceMoves, destinationMoves] = cols.Advance();
            s += sourceMoves;
            d += destinationMoves;
        }
        auto [sourceMoves, destinationMoves] = rows.Advance();
        if (sourceMoves)
            src += srcPitch;
        if (destinationMoves)
            dst += dstPitch;
    }
    return rows.Steps();
}

} // namespace

void Zooming(const uchar* src, int srcW, int srcH, int srcPitch, uchar* dst, int dstW, int dstH, int dstPitch)
{
    Zoom(src, srcW, srcH, srcPitch, dst, dstW, dstH, dstPitch);
}

int Zooming24(const TZoRGB* src, int srcW, int srcH, int srcPitch, TZoRGB* dst, int dstW, int dstH, int dstPitch)
{
    return Zoom(src, srcW, srcH, srcPitch, dst, dstW, dstH, dstPitch);
}
