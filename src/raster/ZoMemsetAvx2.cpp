// The AVX2 fills. This file alone is compiled for AVX2 and includes nothing
// with inline functions another file could share, so none of its code can
// stand in for a baseline build of the same function.
#include "raster/FillLoop.h"
#include "raster/FillPaths.h"

#include <immintrin.h>

namespace {

// Byte j of the phase-r shuffle picks element byte (r + j) mod E out of a
// register that holds the element in every 32-bit lane.
template <int E>
struct ShuffleTable {
    alignas(32) uint8_t index[E][32];
    constexpr ShuffleTable() : index()
    {
        for (int r = 0; r < E; ++r)
            for (int j = 0; j < 32; ++j)
                index[r][j] = static_cast<uint8_t>((r + j) % E);
    }
};
template <int E>
constexpr ShuffleTable<E> kShuffle{};

template <int E>
struct Phases {
    __m256i element; // the element in every 32-bit lane

    explicit Phases(uint32_t value)
        : element(E == 2 ? _mm256_set1_epi16(static_cast<short>(value)) : _mm256_set1_epi32(static_cast<int>(value)))
    {
    }

    __m256i Phase(unsigned r) const
    {
        if (E != 3 && r == 0)
            return element;
        return _mm256_shuffle_epi8(element, _mm256_load_si256(reinterpret_cast<const __m256i*>(kShuffle<E>.index[r])));
    }
};

template <int E>
void Fill(uint8_t* d, size_t bytes, uint32_t value)
{
    if (bytes < 32)
        pendar::fill::kSse2[E](d, bytes, value);
    else if (!FillUniformBytes<E>(d, bytes, value))
        FillLoop<E, __m256i>(d, bytes, Phases<E>(value));
}

} // namespace

const pendar::fill::TFillProc pendar::fill::kAvx2[5] = {nullptr, nullptr, Fill<2>, Fill<3>, Fill<4>};

bool pendar::fill::HaveAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}
