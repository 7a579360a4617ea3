#include "raster/RowKernels.h"

#include <cstring>

#include "raster/BlendMode.h"
#include "raster/BlendOps.h"
#include "raster/FastPaths.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace raster::rows {

namespace {

template <uint32_t (*Op)(uint32_t, uint32_t, int)>
void ReferenceBlit(uint32_t* dest, const uint32_t* src, int count, int weight) {
    for (int i = 0; i < count; ++i)
        dest[i] = Op(src[i], dest[i], weight);
}

template <uint32_t (*Op)(uint32_t, uint32_t, int)>
void ReferenceFill(uint32_t* dest, int count, uint32_t colour, int weight) {
    for (int i = 0; i < count; ++i)
        dest[i] = Op(colour, dest[i], weight);
}

#if defined(__SSE2__)

inline __m128i Load(const uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(uint32_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
inline __m128i Select(__m128i mask, __m128i ifSet, __m128i ifClear) {
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

// s + (d - s) * f / 256 per byte, truncating toward zero; factorLo / factorHi hold the factor
// of each byte of the low and high two pixels as 16-bit lanes (0..256).
inline __m128i MixBytes(__m128i s, __m128i d, __m128i factorLo, __m128i factorHi) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i up = _mm_subs_epu8(d, s);    // d - s where d > s
    const __m128i down = _mm_subs_epu8(s, d);  // s - d where s > d
    const __m128i distance = _mm_or_si128(up, down);
    const __m128i lo =
        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(distance, zero), factorLo), 8);
    const __m128i hi =
        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(distance, zero), factorHi), 8);
    const __m128i step = _mm_packus_epi16(lo, hi);
    const __m128i falling = _mm_cmpeq_epi8(up, zero);
    return Select(falling, _mm_sub_epi8(s, step), _mm_add_epi8(s, step));
}

// Spreads a per-pixel 32-bit value (below 65536) over the 16-bit lanes of its pixel's bytes.
inline void SpreadPerPixel(__m128i perPixel, __m128i& lo, __m128i& hi) {
    const __m128i both = _mm_or_si128(perPixel, _mm_slli_epi32(perPixel, 16));
    lo = _mm_unpacklo_epi32(both, both);
    hi = _mm_unpackhi_epi32(both, both);
}

void FastCopyWeighted(uint32_t* dest, const uint32_t* src, int count, int weight) {
    int i = 0;
    if (weight == 128) {
        const __m128i half = _mm_set1_epi32(static_cast<int>(blend::kHalfMask));
        for (; i + 4 <= count; i += 4) {
            const __m128i s = _mm_and_si128(_mm_srli_epi32(Load(src + i), 1), half);
            const __m128i d = _mm_and_si128(_mm_srli_epi32(Load(dest + i), 1), half);
            Store(dest + i, _mm_add_epi32(s, d));
        }
    } else {
        const __m128i factor = _mm_set1_epi16(static_cast<short>(256 - weight));
        for (; i + 4 <= count; i += 4) {
            Store(dest + i, MixBytes(Load(src + i), Load(dest + i), factor, factor));
        }
    }
    for (; i < count; ++i)
        dest[i] = blend::CopyPixel(src[i], dest[i], weight);
}

void FastAlphaCopy(uint32_t* dest, const uint32_t* src, int count, int weight) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i all255 = _mm_set1_epi32(255);
    const __m128i all256 = _mm_set1_epi32(256);
    const __m128i one = _mm_set1_epi32(1);
    const __m128i weightVec = _mm_set1_epi32(weight);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = Load(src + i);
        const __m128i alpha = _mm_srli_epi32(s, 24);
        const int transparent = _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero));
        if (transparent == 0xFFFF) continue;
        const __m128i d = Load(dest + i);
        if (weight == 256 && _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, all255)) == 0xFFFF) {
            Store(dest + i, s);
            continue;
        }
        __m128i factor;
        __m128i alphaAdd;
        if (weight == 256) {
            factor = _mm_sub_epi32(all255, alpha);
            alphaAdd = alpha;
        } else {
            // w * (a + 1) stays below 65536, so a 16-bit multiply of the low lanes is exact.
            const __m128i level =
                _mm_srli_epi32(_mm_mullo_epi16(_mm_add_epi32(alpha, one), weightVec), 8);
            factor = _mm_sub_epi32(all256, level);
            alphaAdd = level;
        }
        __m128i factorLo;
        __m128i factorHi;
        SpreadPerPixel(factor, factorLo, factorHi);
        const __m128i colour = MixBytes(s, d, factorLo, factorHi);
        const __m128i newAlpha = _mm_adds_epu8(d, _mm_slli_epi32(alphaAdd, 24));
        __m128i out = Select(alphaMask, newAlpha, colour);
        out = Select(_mm_cmpeq_epi32(alpha, zero), d, out);
        Store(dest + i, out);
    }
    for (; i < count; ++i)
        dest[i] = blend::AlphaCopyPixel(src[i], dest[i], weight);
}

#if defined(__x86_64__) || defined(__i386__)
#define ORVO_RASTER_HAS_AVX2 1
#include <immintrin.h>

// The same loop eight pixels at a time, for processors with AVX2 (chosen at run time). The
// 256-bit unpacks work within each 128-bit half, and so does the spreading of per-pixel
// factors, so the lanes line up exactly as in the SSE2 loop.
__attribute__((target("avx2"))) inline __m256i Select256(__m256i mask, __m256i ifSet,
                                                         __m256i ifClear) {
    return _mm256_blendv_epi8(ifClear, ifSet, mask);
}

__attribute__((target("avx2"))) inline __m256i MixBytes256(__m256i s, __m256i d, __m256i factorLo,
                                                           __m256i factorHi) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i up = _mm256_subs_epu8(d, s);
    const __m256i down = _mm256_subs_epu8(s, d);
    const __m256i distance = _mm256_or_si256(up, down);
    const __m256i lo =
        _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(distance, zero), factorLo), 8);
    const __m256i hi =
        _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(distance, zero), factorHi), 8);
    const __m256i step = _mm256_packus_epi16(lo, hi);
    const __m256i falling = _mm256_cmpeq_epi8(up, zero);
    return Select256(falling, _mm256_sub_epi8(s, step), _mm256_add_epi8(s, step));
}

__attribute__((target("avx2"))) void FastAlphaCopyAvx2(uint32_t* dest, const uint32_t* src,
                                                       int count, int weight) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i all255 = _mm256_set1_epi32(255);
    const __m256i all256 = _mm256_set1_epi32(256);
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i weightVec = _mm256_set1_epi32(weight);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i alpha = _mm256_srli_epi32(s, 24);
        const __m256i transparent = _mm256_cmpeq_epi32(alpha, zero);
        if (_mm256_movemask_epi8(transparent) == -1) continue;
        __m256i* target = reinterpret_cast<__m256i*>(dest + i);
        if (weight == 256 && _mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, all255)) == -1) {
            _mm256_storeu_si256(target, s);
            continue;
        }
        const __m256i d = _mm256_loadu_si256(target);
        __m256i factor;
        __m256i alphaAdd;
        if (weight == 256) {
            factor = _mm256_sub_epi32(all255, alpha);
            alphaAdd = alpha;
        } else {
            const __m256i level =
                _mm256_srli_epi32(_mm256_mullo_epi16(_mm256_add_epi32(alpha, one), weightVec), 8);
            factor = _mm256_sub_epi32(all256, level);
            alphaAdd = level;
        }
        const __m256i both = _mm256_or_si256(factor, _mm256_slli_epi32(factor, 16));
        const __m256i colour =
            MixBytes256(s, d, _mm256_unpacklo_epi32(both, both), _mm256_unpackhi_epi32(both, both));
        const __m256i newAlpha = _mm256_adds_epu8(d, _mm256_slli_epi32(alphaAdd, 24));
        __m256i out = Select256(alphaMask, newAlpha, colour);
        out = Select256(transparent, d, out);
        _mm256_storeu_si256(target, out);
    }
    for (; i < count; ++i)
        dest[i] = blend::AlphaCopyPixel(src[i], dest[i], weight);
}

bool HasAvx2() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}
#endif

void FastFill(uint32_t* dest, int count, uint32_t colour, int weight) {
    int i = 0;
    const __m128i c = _mm_set1_epi32(static_cast<int>(colour));
    if (weight == 256) {
        for (; i + 4 <= count; i += 4)
            Store(dest + i, c);
    } else if (weight == 128 || weight == 64 || weight == 192) {
        const __m128i half = _mm_set1_epi32(static_cast<int>(blend::kHalfMask));
        const __m128i quarter = _mm_set1_epi32(static_cast<int>(blend::kQuarterMask));
        const __m128i cHalf = _mm_and_si128(_mm_srli_epi32(c, 1), half);
        const __m128i cQuarter = _mm_and_si128(_mm_srli_epi32(c, 2), quarter);
        for (; i + 4 <= count; i += 4) {
            const __m128i d = Load(dest + i);
            const __m128i dHalf = _mm_and_si128(_mm_srli_epi32(d, 1), half);
            const __m128i dQuarter = _mm_and_si128(_mm_srli_epi32(d, 2), quarter);
            __m128i out;
            if (weight == 128) {
                out = _mm_add_epi32(cHalf, dHalf);
            } else if (weight == 64) {
                out = _mm_add_epi32(cQuarter, _mm_add_epi32(dHalf, dQuarter));
            } else {
                out = _mm_add_epi32(cQuarter, _mm_add_epi32(dQuarter, cHalf));
            }
            Store(dest + i, out);
        }
    } else {
        const __m128i factor = _mm_set1_epi16(static_cast<short>(256 - weight));
        for (; i + 4 <= count; i += 4)
            Store(dest + i, MixBytes(c, Load(dest + i), factor, factor));
    }
    for (; i < count; ++i)
        dest[i] = blend::FillPixel(colour, dest[i], weight);
}

#else

void FastCopyWeighted(uint32_t* dest, const uint32_t* src, int count, int weight) {
    ReferenceBlit<blend::CopyPixel>(dest, src, count, weight);
}
void FastAlphaCopy(uint32_t* dest, const uint32_t* src, int count, int weight) {
    for (int i = 0; i < count; ++i) {
        if (src[i] >> 24 != 0) dest[i] = blend::AlphaCopyPixel(src[i], dest[i], weight);
    }
}
void FastFill(uint32_t* dest, int count, uint32_t colour, int weight) {
    ReferenceFill<blend::FillPixel>(dest, count, colour, weight);
}

#endif

}  // namespace

void BlitRow(uint32_t* dest, const uint32_t* src, int count, int weight, int mode) {
    if (count <= 0) return;
    const bool fast = FastPathsEnabled();
    switch (mode) {
        case kModeAlphaCopy:
#if defined(ORVO_RASTER_HAS_AVX2)
            if (fast && HasAvx2() && WideVectorsEnabled())
                return FastAlphaCopyAvx2(dest, src, count, weight);
#endif
            if (fast) return FastAlphaCopy(dest, src, count, weight);
            return ReferenceBlit<blend::AlphaCopyPixel>(dest, src, count, weight);
        case kModeAlphaAdd:
            return ReferenceBlit<blend::AlphaAddPixel>(dest, src, count, weight);
        case kModeAlphaDodge:
            return ReferenceBlit<blend::AlphaDodgePixel>(dest, src, count, weight);
        default:
            // Modes the panel never asks for: through the source's alpha when the mode says so,
            // otherwise as a plain copy.
            if (mode & kModeUseAlpha) return BlitRow(dest, src, count, weight, kModeAlphaCopy);
            if (!fast) return ReferenceBlit<blend::CopyPixel>(dest, src, count, weight);
            // Rows never overlap within one call, but a bitmap blitted onto itself may; memmove
            // keeps that case sound.
            if (weight >= 256)
                return static_cast<void>(std::memmove(dest, src, sizeof(uint32_t) * count));
            return FastCopyWeighted(dest, src, count, weight);
    }
}

void FillRow(uint32_t* dest, int count, uint32_t colour, int weight, int lowMode) {
    if (count <= 0) return;
    switch (lowMode) {
        case kModeAdd:
            return ReferenceFill<blend::FillAddPixel>(dest, count, colour, weight);
        case kModeDodge:
            return ReferenceFill<blend::FillDodgePixel>(dest, count, colour, weight);
        default:
            if (FastPathsEnabled()) return FastFill(dest, count, colour, weight);
            return ReferenceFill<blend::FillPixel>(dest, count, colour, weight);
    }
}

uint32_t FillOne(uint32_t colour, uint32_t dest, int weight, int lowMode) {
    switch (lowMode) {
        case kModeAdd:
            return blend::FillAddPixel(colour, dest, weight);
        case kModeDodge:
            return blend::FillDodgePixel(colour, dest, weight);
        default:
            return blend::FillPixel(colour, dest, weight);
    }
}

}  // namespace raster::rows
