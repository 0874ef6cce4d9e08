#pragma once

// The processor-specific ways of gf16::multiplyAdd, for gf16.cpp and its tests only.
#include "engine/gf16.h"

#include <cstddef>
#include <cstdint>

namespace engine::gf16 {

// factor × (v << 4n) for every nibble position n and nibble value v, split into the
// product's low and high bytes: the tables a byte shuffle looks products up in.
struct ProductTables {
    std::uint8_t low[4][16];
    std::uint8_t high[4][16];
};
ProductTables productTables(Word factor);

// The words past the last whole vector, one at a time from the same tables.
inline void multiplyAddWords(std::uint8_t* target, const std::uint8_t* source, std::size_t size,
                             const ProductTables& p) {
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const std::uint8_t lo = source[i], hi = source[i + 1];
        target[i] ^= static_cast<std::uint8_t>(p.low[0][lo & 15] ^ p.low[1][lo >> 4] ^
                                               p.low[2][hi & 15] ^ p.low[3][hi >> 4]);
        target[i + 1] ^= static_cast<std::uint8_t>(p.high[0][lo & 15] ^ p.high[1][lo >> 4] ^
                                                   p.high[2][hi & 15] ^ p.high[3][hi >> 4]);
    }
}

void multiplyAddPortable(std::uint8_t* target, const std::uint8_t* source, std::size_t size,
                         Word factor);
bool processorHasSsse3();
void multiplyAddSsse3(std::uint8_t* target, const std::uint8_t* source, std::size_t size,
                      const ProductTables& products);
// False where this build leaves the path out.
bool processorHasAvx2();
void multiplyAddAvx2(std::uint8_t* target, const std::uint8_t* source, std::size_t size,
                     const ProductTables& products);

} // namespace engine::gf16
