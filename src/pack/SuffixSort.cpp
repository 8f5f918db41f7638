#include "pack/SuffixSort.h"

#include <algorithm>
#include <vector>

namespace {

template <typename Char>
void SortSuffixes(const Char* text, int32_t* sa, int n, int alphabet);

template <typename Char>
class InducedSort {
public:
    InducedSort(const Char* s, int32_t* sa, int n, int k)
        : s_(s), sa_(sa), n_(n), stype_(static_cast<size_t>(n)), counts_(static_cast<size_t>(k) + 1),
          bkt_(static_cast<size_t>(k) + 1)
    {
        for (int i = 0; i < n_; ++i)
            ++counts_[Sym(i)];
    }

    void Run()
    {
        Classify();
        // Stage 1: sort the LMS substrings by inducing from their buckets.
        Buckets(true);
        std::fill(sa_, sa_ + n_, -1);
        for (int i = 1; i < n_; ++i)
            if (IsLms(i))
                sa_[--bkt_[Sym(i)]] = i;
        InduceL();
        InduceS();
        int n1 = 0;
        for (int i = 0; i < n_; ++i)
            if (IsLms(sa_[i]))
                sa_[n1++] = sa_[i];
        int names = NameLmsSubstrings(n1);

        // Stage 2: the order of the LMS suffixes, recursing while names repeat.
        int32_t* sa1 = sa_;
        int32_t* s1 = sa_ + n_ - n1;
        if (names < n1)
            SortSuffixes(s1, sa1, n1, names - 1);
        else
            for (int i = 0; i < n1; ++i)
                sa1[s1[i]] = i;

        // Stage 3: induce the whole order from the sorted LMS suffixes.
        Buckets(true);
        for (int i = 1, j = 0; i < n_; ++i)
            if (IsLms(i))
                s1[j++] = i;
        for (int i = 0; i < n1; ++i)
            sa1[i] = s1[sa1[i]];
        std::fill(sa_ + n1, sa_ + n_, -1);
        for (int i = n1 - 1; i >= 0; --i) {
            int j = sa_[i];
            sa_[i] = -1;
            sa_[--bkt_[Sym(j)]] = j;
        }
        InduceL();
        InduceS();
    }

private:
    size_t Sym(int i) const { return static_cast<size_t>(s_[i]); }
    bool IsS(int i) const { return stype_[static_cast<size_t>(i)] != 0; }
    bool IsLms(int i) const { return i > 0 && IsS(i) && !IsS(i - 1); }

    void Classify()
    {
        stype_[static_cast<size_t>(n_ - 1)] = 1;
        for (int i = n_ - 2; i >= 0; --i)
            stype_[static_cast<size_t>(i)] = s_[i] < s_[i + 1] || (s_[i] == s_[i + 1] && IsS(i + 1));
    }

    // Bucket starts (or ends) of every symbol.
    void Buckets(bool ends)
    {
        int sum = 0;
        for (size_t c = 0; c < bkt_.size(); ++c) {
            sum += counts_[c];
            bkt_[c] = ends ? sum : sum - counts_[c];
        }
    }

    void InduceL()
    {
        Buckets(false);
        for (int i = 0; i < n_; ++i) {
            int j = sa_[i] - 1;
            if (j >= 0 && !IsS(j))
                sa_[bkt_[Sym(j)]++] = j;
        }
    }

    void InduceS()
    {
        Buckets(true);
        for (int i = n_ - 1; i >= 0; --i) {
            int j = sa_[i] - 1;
            if (j >= 0 && IsS(j))
                sa_[--bkt_[Sym(j)]] = j;
        }
    }

    // Gives every sorted LMS substring (sa_[0..n1)) its rank among the
    // distinct ones and stores the ranks, in text order, at the end of sa_.
    int NameLmsSubstrings(int n1)
    {
        std::fill(sa_ + n1, sa_ + n_, -1);
        int name = 0;
        int prev = -1;
        for (int i = 0; i < n1; ++i) {
            int pos = sa_[i];
            bool diff = false;
            for (int d = 0; d < n_; ++d) {
                if (prev == -1 || s_[pos + d] != s_[prev + d] || IsS(pos + d) != IsS(prev + d)) {
                    diff = true;
                    break;
                }
                if (d > 0 && (IsLms(pos + d) || IsLms(prev + d)))
                    break;
            }
            if (diff) {
                ++name;
                prev = pos;
            }
            sa_[n1 + pos / 2] = name - 1;
        }
        for (int i = n_ - 1, j = n_ - 1; i >= n1; --i)
            if (sa_[i] >= 0)
                sa_[j--] = sa_[i];
        return name;
    }

    const Char* s_;
    int32_t* sa_;
    int n_;
    std::vector<uint8_t> stype_;
    std::vector<int> counts_;
    std::vector<int> bkt_;
};

template <typename Char>
void SortSuffixes(const Char* text, int32_t* sa, int n, int alphabet)
{
    if (n == 1) {
        sa[0] = 0;
        return;
    }
    InducedSort<Char>(text, sa, n, alphabet).Run();
}

} // namespace

void SuffixArray(const int32_t* text, int32_t* sa, int n, int alphabet)
{
    SortSuffixes(text, sa, n, alphabet);
}

void SuffixArray(const uint16_t* text, int32_t* sa, int n, int alphabet)
{
    SortSuffixes(text, sa, n, alphabet);
}
