// The block-sorting transform over a block's cyclic rotations and its
// inverse. The rotations are sorted by induced suffix sorting (linear time,
// so periodic blocks cost no more than any other); see TBWTEncode::Encode.
#include "pack/SuffixSort.h"
#include "pack/Zobrisca.h"

#include <algorithm>
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
    int current = last[n - 1];
    uint32_t row = ends[current]; // kept in a register while a run lasts
    for (j = n - 1; j >= 0; --j) {
        unsigned char c = last[j];
        if (c != current) {
            ends[current] = row;
            current = c;
            row = ends[c];
        }
        // forward[row] and backward[j] describe the same step, from both sides.
        --row;
        forward[row] = static_cast<uint32_t>(j) << 8 | c;
        backward[j] = row << 8 | last[row];
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
        text_.reset(new uint16_t[static_cast<size_t>(longest) + 1]);
        order_.reset(new int32_t[static_cast<size_t>(longest) + 1]);
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

namespace {

// Length of the shortest u with block = u repeated, or n when there is none
// (from the longest border, by the prefix function).
int PrimitivePeriod(const unsigned char* s, int n, int32_t* border)
{
    border[0] = 0;
    for (int i = 1, k = 0; i < n; ++i) {
        while (k > 0 && s[i] != s[k])
            k = border[k - 1];
        if (s[i] == s[k])
            ++k;
        border[i] = k;
    }
    int p = n - border[n - 1];
    return n % p == 0 ? p : n;
}

// Start of the least rotation of s[0..n): two candidates race, and the one
// that meets a greater byte jumps past the compared stretch. Linear time.
int LeastRotation(const unsigned char* s, int n)
{
    auto at = [&](int i) { return s[i < n ? i : i - n]; };
    int i = 0;
    int j = 1;
    int k = 0;
    while (i < n && j < n && k < n) {
        unsigned char a = at(i + k);
        unsigned char b = at(j + k);
        if (a == b) {
            ++k;
            continue;
        }
        if (a > b)
            i += k + 1;
        else
            j += k + 1;
        if (i == j)
            ++j;
        k = 0;
    }
    return std::min(i, j);
}

} // namespace

// A block that is u repeated m times has the rotations of u, each m times
// over, so only the rotations of u (a primitive block) need sorting. Those
// are sorted through the least rotation w of u: w is a Lyndon word (smaller
// than each of its proper suffixes and no suffix is a prefix of it), and for
// such a word the order of its rotations is the order of its suffixes with
// a terminator below every byte. So one suffix sort of w, of the block's own
// length, gives exactly the order of the block's cyclic rotations.
bool TBWTEncode::Encode(const unsigned char* in, unsigned char* out, int len)
{
    if (!ready_ || len < 1 || len > longest_)
        return false;
    unsigned char* last = out + 2;
    int p = PrimitivePeriod(in, len, order_.get());
    int copies = len / p;
    int r = LeastRotation(in, p);
    for (int t = 0; t < p; ++t) {
        int from = r + t < p ? r + t : r + t - p;
        text_[static_cast<size_t>(t)] = static_cast<uint16_t>(in[from] + 1);
    }
    text_[static_cast<size_t>(p)] = 0;
    SuffixArray(text_.get(), order_.get(), p + 1, 256);
    int home = (p - r) % p; // where the block itself starts within w
    int primary = 0;
    for (int row = 0; row < p; ++row) {
        int start = order_[static_cast<size_t>(row) + 1]; // order_[0] is the terminator
        if (start == home)
            primary = row * copies; // identical rotations: the first copy
        int before = r + start - 1; // the byte before this rotation, in the block
        before = before < 0 ? before + p : before >= p ? before - p : before;
        std::fill(last + static_cast<size_t>(row) * copies, last + static_cast<size_t>(row + 1) * copies, in[before]);
    }
    out[0] = static_cast<unsigned char>(primary & 0xFF);
    out[1] = static_cast<unsigned char>(primary >> 8);
    return true;
}
