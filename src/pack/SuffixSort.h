// Suffix array construction by induced sorting, in time linear in the text.
#pragma once

#include <cstdint>

// Fills `sa` with the start positions of the suffixes of `text` in
// lexicographic order. text[0..n-1] holds values 0..alphabet; the last one
// must be 0 and no other may be (the terminator). Needs n >= 1.
void SuffixArray(const int32_t* text, int32_t* sa, int n, int alphabet);
void SuffixArray(const uint16_t* text, int32_t* sa, int n, int alphabet);
