// 16 words at a time: the words' four nibbles look their products up with byte shuffles.
#include "engine/gf16_paths.h"

#include <immintrin.h>

namespace engine::gf16 {

bool processorHasSsse3() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3");
}

__attribute__((target("ssse3"))) void multiplyAddSsse3(std::uint8_t* target,
                                                       const std::uint8_t* source, std::size_t size,
                                                       const ProductTables& products) {
    const __m128i nibble = _mm_set1_epi8(0x0F);
    // A vector's low bytes of its words to its first half, the high bytes to its second.
    const __m128i split = _mm_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15);
    __m128i low[4], high[4];
    for (int n = 0; n < 4; ++n) {
        low[n] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(products.low[n]));
        high[n] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(products.high[n]));
    }
    std::size_t i = 0;
    for (; i + 32 <= size; i += 32) {
        const __m128i a =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i)), split);
        const __m128i b = _mm_shuffle_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i + 16)), split);
        const __m128i lo = _mm_unpacklo_epi64(a, b);
        const __m128i hi = _mm_unpackhi_epi64(a, b);
        const __m128i n0 = _mm_and_si128(lo, nibble);
        const __m128i n1 = _mm_and_si128(_mm_srli_epi16(lo, 4), nibble);
        const __m128i n2 = _mm_and_si128(hi, nibble);
        const __m128i n3 = _mm_and_si128(_mm_srli_epi16(hi, 4), nibble);
        const __m128i productLow = _mm_xor_si128(
            _mm_xor_si128(_mm_shuffle_epi8(low[0], n0), _mm_shuffle_epi8(low[1], n1)),
            _mm_xor_si128(_mm_shuffle_epi8(low[2], n2), _mm_shuffle_epi8(low[3], n3)));
        const __m128i productHigh = _mm_xor_si128(
            _mm_xor_si128(_mm_shuffle_epi8(high[0], n0), _mm_shuffle_epi8(high[1], n1)),
            _mm_xor_si128(_mm_shuffle_epi8(high[2], n2), _mm_shuffle_epi8(high[3], n3)));
        auto* out = reinterpret_cast<__m128i*>(target + i);
        _mm_storeu_si128(
            out, _mm_xor_si128(_mm_loadu_si128(out), _mm_unpacklo_epi8(productLow, productHigh)));
        _mm_storeu_si128(out + 1, _mm_xor_si128(_mm_loadu_si128(out + 1),
                                                _mm_unpackhi_epi8(productLow, productHigh)));
    }
    multiplyAddWords(target + i, source + i, size - i, products);
}

} // namespace engine::gf16
