// Memory block routines of the raster engine, by element size (no digit: 1
// byte; 2, 3, 4: bytes per pixel) and by what happens to each element: R
// reversed order (a left-right mirror), K transparent key (matching source
// elements are skipped), M 1-bit tiling mask, B backwards. Every routine
// returns dst; counts are in elements; a count of 0 writes nothing. Unless
// said otherwise source and destination must not overlap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>

// The plain copies and the byte fill are the C library's (memcpy, memmove,
// memset), as is the 4-byte fill of aligned blocks (wmemset), all tuned for
// every processor generation; they are inline so that they cost nothing
// more.

// Front-to-back byte copy; safe when dst overlaps src at a lower address
// (memmove costs no more than memcpy for blocks apart).
inline void* ZoMemcpy(void* dst, const void* src, unsigned count)
{
    if (count != 0)
        std::memmove(dst, src, count);
    return dst;
}

// Byte copy that is safe for overlapping blocks (in particular dst above src).
inline void* ZoMemcpyB(void* dst, const void* src, unsigned count)
{
    if (count != 0)
        std::memmove(dst, src, count);
    return dst;
}

// dst[i] = src[count - 1 - i]; the bytes inside an element keep their order.
void* ZoMemcpyR(void* dst, const void* src, unsigned count);
void* ZoMemcpy2R(void* dst, const void* src, unsigned count);
void* ZoMemcpy3R(void* dst, const void* src, unsigned count);
void* ZoMemcpy4R(void* dst, const void* src, unsigned count);

// Copies every source element that differs from the key; a skipped element
// leaves the destination as it was. 1- and 2-byte elements compare with the
// key's low byte or word; a 3-byte element (byte 0 lowest) compares with the
// whole key, so a key above 0xFFFFFF never matches; 4-byte with the whole key.
void* ZoMemcpyK(void* dst, const void* src, unsigned count, uint32_t key);
void* ZoMemcpy2K(void* dst, const void* src, unsigned count, uint32_t key);
void* ZoMemcpy3K(void* dst, const void* src, unsigned count, uint32_t key);
void* ZoMemcpy4K(void* dst, const void* src, unsigned count, uint32_t key);

// Reversed and keyed: dst[i] = src[count - 1 - i] unless that equals the key.
void* ZoMemcpyRK(void* dst, const void* src, unsigned count, uint32_t key);
void* ZoMemcpy2RK(void* dst, const void* src, unsigned count, uint32_t key);
void* ZoMemcpy3RK(void* dst, const void* src, unsigned count, uint32_t key);
void* ZoMemcpy4RK(void* dst, const void* src, unsigned count, uint32_t key);

// Element i is copied when bit (i mod maskWidth) of the mask is 1, most
// significant bit first, 8 elements per mask byte: the mask repeats every
// maskWidth elements. A maskWidth of 0 copies nothing.
void* ZoMemcpyM(void* dst, const void* src, unsigned count, const void* mask, unsigned maskWidth);
void* ZoMemcpy2M(void* dst, const void* src, unsigned count, const void* mask, unsigned maskWidth);
void* ZoMemcpy3M(void* dst, const void* src, unsigned count, const void* mask, unsigned maskWidth);
void* ZoMemcpy4M(void* dst, const void* src, unsigned count, const void* mask, unsigned maskWidth);

// Masked and mirrored: source element i, tested with mask bit
// (i mod maskWidth), goes to dst[count - 1 - i].
void* ZoMemcpyRM(void* dst, const void* src, unsigned count, const void* mask, unsigned maskWidth);
void* ZoMemcpy2RM(void* dst, const void* src, unsigned count, const void* mask, unsigned maskWidth);
void* ZoMemcpy3RM(void* dst, const void* src, unsigned count, const void* mask, unsigned maskWidth);
void* ZoMemcpy4RM(void* dst, const void* src, unsigned count, const void* mask, unsigned maskWidth);

namespace pendar::fill {
using TFillProc = void (*)(uint8_t* d, size_t bytes, uint32_t value);
// The routines behind ZoMemset2, ZoMemset3 and ZoMemset4 (the last for blocks
// that are not 4-byte aligned, which wmemset does not take), by element size:
// each entry starts as a resolver that puts the best routine for the
// processor in its place on the first call.
extern TFillProc g_current[5];
} // namespace pendar::fill

// Fills with count elements of value's low 1, 2, 3 or 4 bytes (3 bytes: a
// 24-bit pixel 0x00RRGGBB stored blue, green, red).
inline void* ZoMemset(void* dst, uint32_t value, unsigned count)
{
    if (count != 0)
        std::memset(dst, static_cast<int>(value & 0xFF), count);
    return dst;
}

inline void* ZoMemset2(void* dst, uint32_t value, unsigned count)
{
    if (count != 0)
        pendar::fill::g_current[2](static_cast<uint8_t*>(dst), size_t{count} * 2, value);
    return dst;
}

inline void* ZoMemset3(void* dst, uint32_t value, unsigned count)
{
    if (count != 0)
        pendar::fill::g_current[3](static_cast<uint8_t*>(dst), size_t{count} * 3, value);
    return dst;
}

static_assert(sizeof(wchar_t) == 4 && alignof(wchar_t) == 4, "ZoMemset4 fills through wmemset");
inline void* ZoMemset4(void* dst, uint32_t value, unsigned count)
{
    if (count == 0)
        return dst;
    if (reinterpret_cast<uintptr_t>(dst) % 4 == 0)
        std::wmemset(static_cast<wchar_t*>(dst), static_cast<wchar_t>(value), count);
    else
        pendar::fill::g_current[4](static_cast<uint8_t*>(dst), size_t{count} * 4, value);
    return dst;
}

using TZoMemcpyProc = void* (*)(void* dst, const void* src, unsigned count);
using TZoMemcpyKProc = void* (*)(void* dst, const void* src, unsigned count, uint32_t key);
using TZoMemcpyMProc = void* (*)(void* dst, const void* src, unsigned count, const void* mask,
                                 unsigned maskWidth);
using TZoMemsetProc = void* (*)(void* dst, uint32_t value, unsigned count);

// Indexed by element size 1..4; entry 0 is empty.
extern const TZoMemcpyProc ZoMemcpyRTable[5];
extern const TZoMemcpyKProc ZoMemcpyKTable[5];
extern const TZoMemcpyKProc ZoMemcpyRKTable[5];
extern const TZoMemcpyMProc ZoMemcpyMTable[5];
extern const TZoMemcpyMProc ZoMemcpyRMTable[5];
extern const TZoMemsetProc ZoMemsetTable[5];

namespace pendar {

// The masked copies with the mask entered at bit `phase` instead of bit 0,
// for transfers whose left edge was clipped: element i (counted in source
// order) tests bit ((i + phase) mod maskWidth). reversed: element i goes to
// dst[count - 1 - i]. elementSize 1..4; other sizes copy nothing.
void MaskedCopy(int elementSize, bool reversed, void* dst, const void* src, unsigned count, const void* mask,
                unsigned maskWidth, unsigned phase);

// The 2-, 3- and 4-byte fills by instruction set, so that tests can check
// every path; ZoMemset2..4 use the widest one the processor has.
enum class TFillIsa { Sse2, Avx2 };
bool FillIsaAvailable(TFillIsa isa);
// Fills count elements of elementSize (2..4) bytes; nothing for other sizes
// or when the processor lacks the instruction set.
void FillElements(TFillIsa isa, int elementSize, void* dst, uint32_t value, unsigned count);

} // namespace pendar
