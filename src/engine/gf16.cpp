#include "engine/gf16.h"

#include "engine/gf16_paths.h"

#include <array>
#include <vector>

namespace engine::gf16 {

namespace {

constexpr std::uint32_t generator = 0x1100B;
constexpr std::uint32_t order = 65535;

// Logarithms and powers of 2; the powers twice over, so that a sum of two logarithms
// needs no reduction.
struct Tables {
    std::vector<Word> log = std::vector<Word>(65536);
    std::vector<Word> exp = std::vector<Word>(2 * order);
    Tables() {
        std::uint32_t value = 1;
        for (std::uint32_t k = 0; k < order; ++k) {
            exp[k] = static_cast<Word>(value);
            exp[k + order] = static_cast<Word>(value);
            log[value] = static_cast<Word>(k);
            value <<= 1;
            if (value & 0x10000) {
                value ^= generator;
            }
        }
    }
};

const Tables& tables() {
    static const Tables built;
    return built;
}

} // namespace

Word multiply(Word a, Word b) {
    if (a == 0 || b == 0) {
        return 0;
    }
    const Tables& t = tables();
    return t.exp[static_cast<std::size_t>(t.log[a]) + t.log[b]];
}

Word divide(Word a, Word b) {
    if (a == 0) {
        return 0;
    }
    const Tables& t = tables();
    return t.exp[static_cast<std::size_t>(t.log[a]) + order - t.log[b]];
}

Word power(Word base, std::uint32_t exponent) {
    if (exponent == 0) {
        return 1;
    }
    if (base == 0) {
        return 0;
    }
    const Tables& t = tables();
    const auto logarithm = static_cast<std::uint64_t>(t.log[base]) * exponent % order;
    return t.exp[static_cast<std::size_t>(logarithm)];
}

Word inputConstant(std::uint32_t index) {
    // The exponents of full order, counted once.
    static const std::vector<Word> exponents = [] {
        std::vector<Word> found;
        found.reserve(maxInputSlices);
        for (std::uint32_t k = 1; k < order && found.size() < maxInputSlices; ++k) {
            if (k % 3 != 0 && k % 5 != 0 && k % 17 != 0 && k % 257 != 0) {
                found.push_back(static_cast<Word>(k));
            }
        }
        return found;
    }();
    return tables().exp[exponents.at(index)];
}

ProductTables productTables(Word factor) {
    ProductTables products{};
    for (int nibble = 0; nibble < 4; ++nibble) {
        for (int value = 0; value < 16; ++value) {
            const Word product = multiply(factor, static_cast<Word>(value << (4 * nibble)));
            products.low[nibble][value] = static_cast<std::uint8_t>(product & 0xFF);
            products.high[nibble][value] = static_cast<std::uint8_t>(product >> 8);
        }
    }
    return products;
}

void multiplyAddPortable(std::uint8_t* target, const std::uint8_t* source, std::size_t size,
                         Word factor) {
    // A word's product is the sum of its two bytes' products.
    std::array<Word, 256> low{}, high{};
    for (int value = 0; value < 256; ++value) {
        low[value] = multiply(factor, static_cast<Word>(value));
        high[value] = multiply(factor, static_cast<Word>(value << 8));
    }
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const Word product = low[source[i]] ^ high[source[i + 1]];
        target[i] ^= static_cast<std::uint8_t>(product & 0xFF);
        target[i + 1] ^= static_cast<std::uint8_t>(product >> 8);
    }
}

bool hasPath(Path path) {
    switch (path) {
    case Path::Portable:
        return true;
    case Path::Ssse3:
        return processorHasSsse3();
    case Path::Avx2:
        return processorHasAvx2();
    }
    return false;
}

Path bestPath() {
    static const Path best = hasPath(Path::Avx2)    ? Path::Avx2
                             : hasPath(Path::Ssse3) ? Path::Ssse3
                                                    : Path::Portable;
    return best;
}

void multiplyAdd(std::uint8_t* target, const std::uint8_t* source, std::size_t size, Word factor,
                 Path path) {
    if (factor == 0 || size == 0) {
        return;
    }
    switch (path) {
    case Path::Avx2:
        multiplyAddAvx2(target, source, size, productTables(factor));
        return;
    case Path::Ssse3:
        multiplyAddSsse3(target, source, size, productTables(factor));
        return;
    case Path::Portable:
        break;
    }
    multiplyAddPortable(target, source, size, factor);
}

void multiplyAdd(std::uint8_t* target, const std::uint8_t* source, std::size_t size, Word factor) {
    multiplyAdd(target, source, size, factor, bestPath());
}

} // namespace engine::gf16
