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
        table_.assign(kLongestBlock, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    ready_ = true;
    return true;
}

void TBWTDecode::Release()
{
    table_.clear();
    table_.shrink_to_fit();
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
    uint32_t ends[256] = {};
    for (int j = 0; j < n; ++j)
        ++ends[last[j]];
    uint32_t sum = 0;
    for (uint32_t& e : ends) {
        sum += e;
        e = sum;
    }
    uint32_t* table = table_.data();
    for (int j = n - 1; j >= 0; --j)
        table[--ends[last[j]]] = static_cast<uint32_t>(j);
    uint32_t pos = table[index];
    for (int i = 0; i < n; ++i) {
        out[i] = last[pos];
        pos = table[pos];
    }
    return true;
}

bool TBWTEncode::Setup()
{
    if (ready_)
        return true;
    try {
        text_.assign(2 * kLongestBlock + 1, 0);
        order_.assign(2 * kLongestBlock + 1, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    ready_ = true;
    return true;
}

void TBWTEncode::Release()
{
    text_.clear();
    text_.shrink_to_fit();
    order_.clear();
    order_.shrink_to_fit();
    ready_ = false;
}

bool TBWTEncode::Encode(const unsigned char* in, unsigned char* out, int len)
{
    if (!ready_ || len < 1 || len > kLongestBlock)
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
        text_[static_cast<size_t>(i)] = text_[static_cast<size_t>(i + len)] = in[i] + 1;
    text_[static_cast<size_t>(n2)] = 0;
    SuffixArray(text_.data(), order_.data(), n2 + 1, 256);
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
