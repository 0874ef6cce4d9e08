// 32 words at a time, as the SSSE3 path does it in each 128-bit lane.
#include "engine/gf16_paths.h"

#include <immintrin.h>

namespace engine::gf16 {

bool processorHasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

__attribute__((target("avx2"))) void multiplyAddAvx2(std::uint8_t* target,
                                                     const std::uint8_t* source, std::size_t size,
                                                     const ProductTables& products) {
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i split = _mm256_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15, 0,
                                           2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15);
    __m256i low[4], high[4];
    for (int n = 0; n < 4; ++n) {
        low[n] = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(products.low[n])));
        high[n] = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(products.high[n])));
    }
    std::size_t i = 0;
    for (; i + 64 <= size; i += 64) {
        const __m256i a = _mm256_shuffle_epi8(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + i)), split);
        const __m256i b = _mm256_shuffle_epi8(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + i + 32)), split);
        // Per lane: the low bytes of a's and b's words, then their high bytes.
        const __m256i lo = _mm256_unpacklo_epi64(a, b);
        const __m256i hi = _mm256_unpackhi_epi64(a, b);
        const __m256i n0 = _mm256_and_si256(lo, nibble);
        const __m256i n1 = _mm256_and_si256(_mm256_srli_epi16(lo, 4), nibble);
        const __m256i n2 = _mm256_and_si256(hi, nibble);
        const __m256i n3 = _mm256_and_si256(_mm256_srli_epi16(hi, 4), nibble);
        const __m256i productLow = _mm256_xor_si256(
            _mm256_xor_si256(_mm256_shuffle_epi8(low[0], n0), _mm256_shuffle_epi8(low[1], n1)),
            _mm256_xor_si256(_mm256_shuffle_epi8(low[2], n2), _mm256_shuffle_epi8(low[3], n3)));
        const __m256i productHigh = _mm256_xor_si256(
            _mm256_xor_si256(_mm256_shuffle_epi8(high[0], n0), _mm256_shuffle_epi8(high[1], n1)),
            _mm256_xor_si256(_mm256_shuffle_epi8(high[2], n2), _mm256_shuffle_epi8(high[3], n3)));
        // Interleaved back, a lane's words come out in their own order: a's, then b's.
        auto* out = reinterpret_cast<__m256i*>(target + i);
        _mm256_storeu_si256(out, _mm256_xor_si256(_mm256_loadu_si256(out),
                                                  _mm256_unpacklo_epi8(productLow, productHigh)));
        _mm256_storeu_si256(out + 1,
                            _mm256_xor_si256(_mm256_loadu_si256(out + 1),
                                             _mm256_unpackhi_epi8(productLow, productHigh)));
    }
    multiplyAddWords(target + i, source + i, size - i, products);
}

} // namespace engine::gf16
