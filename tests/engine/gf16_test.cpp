// PAR 2.0's field, and every path of the multiply-add against the plainest one.
#include "engine/gf16.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace gf16 = engine::gf16;

namespace {

// The first constants as the format's own description lists them.
TEST(Gf16, TheInputConstantsAreThoseOfTheFormat) {
    const std::vector<gf16::Word> listed = {2,    4,     16,   128,   256,  2048,
                                            8192, 16384, 4107, 32856, 17132};
    for (std::uint32_t n = 0; n < listed.size(); ++n) {
        EXPECT_EQ(gf16::inputConstant(n), listed[n]) << "slice " << n;
    }
    EXPECT_NO_THROW(gf16::inputConstant(gf16::maxInputSlices - 1));
}

TEST(Gf16, MultiplyDivideAndPowerAgree) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        const auto a = static_cast<gf16::Word>(random());
        const auto b = static_cast<gf16::Word>(random() | 1);
        EXPECT_EQ(gf16::divide(gf16::multiply(a, b), b), a);
        EXPECT_EQ(gf16::multiply(a, b), gf16::multiply(b, a));
    }
    const struct {
        gf16::Word base;
        std::uint32_t exponent;
        gf16::Word value;
    } rows[] = {{2, 16, 0x100B}, // x^16 reduced by the generator
                {2, 65535, 1},   // 2 has the order 65535
                {7, 0, 1},
                {0, 3, 0},
                {3, 2, 5}}; // (x + 1)^2 = x^2 + 1
    for (const auto& row : rows) {
        EXPECT_EQ(gf16::power(row.base, row.exponent), row.value)
            << row.base << "^" << row.exponent;
    }
}

// Random words, factors and lengths (tails past the last vector among them): every path the
// processor has gives what the portable one gives.
TEST(Gf16, EveryPathMultipliesAsThePortableOneDoes) {
    std::mt19937 random(11);
    for (const gf16::Path path : {gf16::Path::Ssse3, gf16::Path::Avx2}) {
        if (!gf16::hasPath(path)) {
            continue;
        }
        for (const std::size_t size : {2u, 30u, 32u, 34u, 62u, 64u, 66u, 126u, 4098u}) {
            std::vector<std::uint8_t> source(size), expected(size), got(size);
            for (std::size_t i = 0; i < size; ++i) {
                source[i] = static_cast<std::uint8_t>(random());
                expected[i] = got[i] = static_cast<std::uint8_t>(random());
            }
            const auto factor = static_cast<gf16::Word>(random() | 0x8000);
            gf16::multiplyAdd(expected.data(), source.data(), size, factor, gf16::Path::Portable);
            gf16::multiplyAdd(got.data(), source.data(), size, factor, path);
            EXPECT_EQ(got, expected)
                << "path " << static_cast<int>(path) << ", " << size << " bytes";
        }
    }
}

// The portable path against the field's own multiply, word by word.
TEST(Gf16, MultiplyAddAddsTheProductOfEachWord) {
    const std::vector<std::uint8_t> source = {0x01, 0x00, 0x00, 0x01, 0xFF, 0xFF, 0x34, 0x12};
    std::vector<std::uint8_t> target(source.size(), 0);
    const gf16::Word factor = 0x1234;
    gf16::multiplyAdd(target.data(), source.data(), source.size(), factor, gf16::Path::Portable);
    for (std::size_t i = 0; i < source.size(); i += 2) {
        const auto word = static_cast<gf16::Word>(source[i] | source[i + 1] << 8);
        const gf16::Word product = gf16::multiply(factor, word);
        EXPECT_EQ(target[i] | target[i + 1] << 8, product) << "word " << i / 2;
    }
}

} // namespace
