#include "pack/Zobrisca.h"

#include <algorithm>
#include <new>

const int* BriscaInitialFrequencies()
{
    struct Table {
        int freq[kBriscaSymbols];
        Table()
        {
            // {first symbol, frequency} for each run of equal frequencies.
            static constexpr int runs[][2] = {
                {0, 1400}, {1, 640}, {2, 320}, {3, 240}, {4, 160}, {5, 120}, {6, 80}, {7, 64},
                {8, 48},   {9, 40},  {10, 32}, {11, 24}, {12, 20}, {16, 16}, {20, 12}, {26, 8},
                {32, 6},   {48, 5},  {64, 4},  {96, 3},  {134, 2},
            };
            constexpr int count = static_cast<int>(sizeof(runs) / sizeof(runs[0]));
            for (int r = 0; r < count; ++r) {
                int end = r + 1 < count ? runs[r + 1][0] : kBriscaSymbols;
                for (int s = runs[r][0]; s < end; ++s)
                    freq[s] = runs[r][1];
            }
        }
    };
    static const Table table;
    return table.freq;
}

bool TQSModel::Open(int n, int lgTotal, int targetRescale, const int* initFreq, bool forEncoder)
{
    Close();
    if (n < 2 || lgTotal < 1 || lgTotal > 15)
        return false;
    n_ = n;
    targetRescale_ = targetRescale;
    searchShift_ = std::max(lgTotal - 9, 0);
    try {
        cumFreq_.assign(static_cast<size_t>(n) + 1, 0);
        newFreq_.assign(static_cast<size_t>(n) + 1, 0);
        if (!forEncoder) {
            search_.assign(513, 0);
            search_[512] = static_cast<uint16_t>(n - 1);
        }
    } catch (const std::bad_alloc&) {
        Close();
        return false;
    }
    cumFreq_[static_cast<size_t>(n)] = static_cast<uint16_t>(1 << lgTotal);
    cumFreq_[0] = 0;
    Reset(initFreq);
    ready_ = true;
    return true;
}

void TQSModel::Reset(const int* initFreq)
{
    rescale_ = (n_ >> 4) | 2;
    nextLeft_ = 0;
    int total = cumFreq_[static_cast<size_t>(n_)];
    if (initFreq) {
        int sum = 0;
        for (int i = 0; i < n_; ++i) {
            newFreq_[static_cast<size_t>(i)] = static_cast<uint16_t>(initFreq[i]);
            sum += initFreq[i];
        }
        if (sum != total) {
            Reset(nullptr);
            return;
        }
    } else {
        int extra = total % n_;
        for (int i = 0; i < n_; ++i)
            newFreq_[static_cast<size_t>(i)] = static_cast<uint16_t>(total / n_ + (i < extra ? 1 : 0));
    }
    Rescale();
}

void TQSModel::Rescale()
{
    if (nextLeft_ != 0) {
        ++incr_;
        left_ = nextLeft_;
        nextLeft_ = 0;
        return;
    }
    if (rescale_ < targetRescale_)
        rescale_ = std::min(2 * rescale_, targetRescale_);
    int c = cumFreq_[static_cast<size_t>(n_)];
    int m = c;
    for (int i = n_ - 1; i > 0; --i) {
        c -= newFreq_[static_cast<size_t>(i)];
        cumFreq_[static_cast<size_t>(i)] = static_cast<uint16_t>(c);
        newFreq_[static_cast<size_t>(i)] = static_cast<uint16_t>((newFreq_[static_cast<size_t>(i)] >> 1) | 1);
        m -= newFreq_[static_cast<size_t>(i)];
    }
    if (c != newFreq_[0]) {
        // Counts that no longer add up: the model cannot go on.
        Close();
        throw ECodecError{"rescaling left total frequency"};
    }
    newFreq_[0] = static_cast<uint16_t>((newFreq_[0] >> 1) | 1);
    m -= newFreq_[0];
    incr_ = m / rescale_;
    nextLeft_ = m % rescale_;
    left_ = rescale_ - nextLeft_;
    if (!search_.empty()) {
        for (int s = n_ - 1; s >= 0; --s) {
            int from = cumFreq_[static_cast<size_t>(s)] >> searchShift_;
            int to = (cumFreq_[static_cast<size_t>(s) + 1] - 1) >> searchShift_;
            for (int i = from; i <= to; ++i)
                search_[static_cast<size_t>(i)] = static_cast<uint16_t>(s);
        }
    }
}

void TQSModel::Close()
{
    ready_ = false;
    cumFreq_.clear();
    newFreq_.clear();
    search_.clear();
}
