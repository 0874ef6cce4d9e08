#pragma once

#include <cstddef>
#include <cstdint>

// Arithmetic in GF(2^16) with the generator 0x1100B, as PAR 2.0's Reed-Solomon code uses
// it: addition is exclusive or, every non-zero element a power of 2.
namespace engine::gf16 {

using Word = std::uint16_t;

Word multiply(Word a, Word b);
// a / b; b must not be 0.
Word divide(Word a, Word b);
Word power(Word base, std::uint32_t exponent);

// How many input slices a recovery set may have: one for each constant of full order.
inline constexpr std::uint32_t maxInputSlices = 32768;
// The constant of input slice `index` (from 0): 2 to the index-th exponent that is not a
// multiple of 3, 5, 17 or 257, so that every constant has the order 65535.
Word inputConstant(std::uint32_t index);

// The ways multiplyAdd can run on this processor, from the plainest.
enum class Path { Portable, Ssse3, Avx2 };
// The fastest path the processor has (and this build may use).
Path bestPath();
bool hasPath(Path path);

// target ^= factor × source, word by word: `size` bytes of little-endian 16-bit words
// (an even number). On the given path, or the best one.
void multiplyAdd(std::uint8_t* target, const std::uint8_t* source, std::size_t size, Word factor);
void multiplyAdd(std::uint8_t* target, const std::uint8_t* source, std::size_t size, Word factor,
                 Path path);

} // namespace engine::gf16
