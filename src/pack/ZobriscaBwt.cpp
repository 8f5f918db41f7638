// The block-sorting transform over a block's cyclic rotations and its
// inverse. Rotations are sorted as the suffixes of the block written twice
// (every rotation is then a plain prefix of a suffix), by induced sorting,
// so periodic blocks cost no more than any other.
#include "pack/SuffixSort.h"
#include "pack/Zobrisca.h"

#include <new>

namespace {
constexpr int kLongestBlock = 65536;
}

bool TBWTDecode::Setup()
{
    if (ready_)
        return true;
    try {
        table_.reset(new uint32_t[2 * kLongestBlock]);
    } catch (const std::bad_alloc&) {
        return false;
    }
    ready_ = true;
    return true;
}

void TBWTDecode::Release()
{
    table_.reset();
    ready_ = false;
}

bool TBWTDecode::Decode(const unsigned char* in, unsigned char* out, int len)
{
    if (!ready_ || len < 3 || len > kLongestBlock + 2)
        return false;
    int n = len - 2;
    unsigned index = in[0] | static_cast<unsigned>(in[1]) << 8;
    if (index >= static_cast<unsigned>(n))
        return false; // the block itself must be one of its rotations
    const unsigned char* last = in + 2;
    // Four sets of counters, so that runs of one byte do not wait on one
    // counter's store.
    uint32_t counts[4][256] = {};
    int j = 0;
    for (; j + 4 <= n; j += 4) {
        ++counts[0][last[j]];
        ++counts[1][last[j + 1]];
        ++counts[2][last[j + 2]];
        ++counts[3][last[j + 3]];
    }
    for (; j < n; ++j)
        ++counts[0][last[j]];
    uint32_t ends[256];
    uint32_t sum = 0;
    for (int c = 0; c < 256; ++c) {
        sum += counts[0][c] + counts[1][c] + counts[2][c] + counts[3][c];
        ends[c] = sum;
    }
    // forward[row]: the row one position later (shifted left by 8) and that
    // row's last-column byte; backward[j]: the row one position earlier, the
    // same way. Walking both from the primary row gives two independent
    // chains of one load per byte, from the front and from the back.
    uint32_t* forward = table_.get();
    uint32_t* backward = table_.get() + kLongestBlock;
    for (j = n - 1; j >= 0;) {
        unsigned char c = last[j];
        int k = j;
        while (k > 0 && last[k - 1] == c)
            --k; // a run keeps its bucket's counter in a register
        uint32_t row = ends[c];
        for (int x = j; x >= k; --x) {
            --row;
            forward[row] = static_cast<uint32_t>(x) << 8 | c;
            backward[x] = row << 8 | last[row];
        }
        ends[c] = row;
        j = k - 1;
    }
    int half = n / 2;
    uint32_t front = forward[index];
    uint32_t back = index << 8 | last[index];
    for (int i = 0; i < half; ++i) {
        out[i] = static_cast<unsigned char>(front & 0xFF);
        front = forward[front >> 8];
        out[n - 1 - i] = static_cast<unsigned char>(back & 0xFF);
        back = backward[back >> 8];
    }
    if (n & 1)
        out[half] = static_cast<unsigned char>(front & 0xFF);
    return true;
}

bool TBWTEncode::Setup(int longest)
{
    if (longest < 1 || longest > kLongestBlock)
        return false;
    if (ready_ && longest <= longest_)
        return true;
    Release();
    try {
        text_.reset(new uint16_t[2 * static_cast<size_t>(longest) + 1]);
        order_.reset(new int32_t[2 * static_cast<size_t>(longest) + 1]);
    } catch (const std::bad_alloc&) {
        Release();
        return false;
    }
    longest_ = longest;
    ready_ = true;
    return true;
}

void TBWTEncode::Release()
{
    text_.reset();
    order_.reset();
    longest_ = 0;
    ready_ = false;
}

bool TBWTEncode::Encode(const unsigned char* in, unsigned char* out, int len)
{
    if (!ready_ || len < 1 || len > longest_)
        return false;
    unsigned char* last = out + 2;
    int run = 1;
    while (run < len && in[run] == in[0])
        ++run;
    if (run == len) {
        // Every rotation is the block itself.
        out[0] = out[1] = 0;
        for (int i = 0; i < len; ++i)
            last[i] = in[i];
        return true;
    }
    int n2 = 2 * len;
    for (int i = 0; i < len; ++i)
        text_[static_cast<size_t>(i)] = text_[static_cast<size_t>(i + len)] = static_cast<uint16_t>(in[i] + 1);
    text_[static_cast<size_t>(n2)] = 0;
    SuffixArray(text_.get(), order_.get(), n2 + 1, 256);
    int row = 0;
    int primary = 0;
    for (int i = 1; i <= n2; ++i) { // order_[0] is the terminator
        int start = order_[static_cast<size_t>(i)];
        if (start >= len)
            continue;
        if (start == 0)
            primary = row;
        last[row++] = in[start == 0 ? len - 1 : start - 1];
    }
    out[0] = static_cast<unsigned char>(primary & 0xFF);
    out[1] = static_cast<unsigned char>(primary >> 8);
    return true;
}
