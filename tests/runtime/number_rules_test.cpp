#include "runtime/error.h"
#include "runtime/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <optional>

using runtime::Error;
using runtime::ErrorNumber;

namespace {

std::optional<ErrorNumber> errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& error) {
        return error.number();
    }
    return std::nullopt;
}

struct ConversionCase {
    double value;
    std::optional<long> int16;
    std::optional<long> int32;
};

void PrintTo(const ConversionCase& c, std::ostream* os) {
    *os << c.value;
}

class IntegerConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(IntegerConversion, RoundsHalfToEvenAndOverflowsOutsideTheRange) {
    const auto& c = GetParam();
    if (c.int16) {
        EXPECT_EQ(runtime::toInt16(c.value), *c.int16);
    } else {
        EXPECT_EQ(errorOf([&] { runtime::toInt16(c.value); }), ErrorNumber::Overflow);
    }
    if (c.int32) {
        EXPECT_EQ(runtime::toInt32(c.value), *c.int32);
    } else {
        EXPECT_EQ(errorOf([&] { runtime::toInt32(c.value); }), ErrorNumber::Overflow);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, IntegerConversion,
                         ::testing::Values(ConversionCase{2.5, 2, 2}, ConversionCase{3.5, 4, 4},
                                           ConversionCase{-2.5, -2, -2}, ConversionCase{0.5, 0, 0},
                                           ConversionCase{1.5, 2, 2}, ConversionCase{2.4999, 2, 2},
                                           ConversionCase{1447034.88, std::nullopt, 1447035},
                                           ConversionCase{32767.4, 32767, 32767},
                                           ConversionCase{32767.5, std::nullopt, 32768},
                                           ConversionCase{-32768.5, -32768, -32768},
                                           ConversionCase{-32768.6, std::nullopt, -32769},
                                           ConversionCase{2147483647.4, std::nullopt, 2147483647},
                                           ConversionCase{2147483647.5, std::nullopt, std::nullopt},
                                           ConversionCase{-2147483648.5, std::nullopt,
                                                          -2147483648L}));

TEST(IntegerArithmetic, MultiplicationAndAdditionOverflowInsteadOfWrapping) {
    EXPECT_EQ(runtime::multiplyInt32(2047 * 1024, 1024), 2146435072);
    EXPECT_EQ(errorOf([] { runtime::multiplyInt32(2048 * 1024, 1024); }), ErrorNumber::Overflow);
    EXPECT_EQ(runtime::multiplyInt32(-2048 * 1024, 1024), -2147483647 - 1);
    EXPECT_EQ(runtime::addInt16(32766, 1), 32767);
    EXPECT_EQ(errorOf([] { runtime::addInt16(32767, 1); }), ErrorNumber::Overflow);
}

TEST(RoundHalfEven, RoundsToTheGivenDecimals) {
    EXPECT_DOUBLE_EQ(runtime::roundHalfEven(1000 / 1024.0, 2), 0.98);
    EXPECT_DOUBLE_EQ(runtime::roundHalfEven(5000000 / 1024.0, 2), 4882.81);
    EXPECT_DOUBLE_EQ(runtime::roundHalfEven(1.125, 2), 1.12);
    EXPECT_DOUBLE_EQ(runtime::roundHalfEven(1.375, 2), 1.38);
    EXPECT_DOUBLE_EQ(runtime::roundHalfEven(2.5, 0), 2);
}

struct PrefixCase {
    const char* text;
    double value;
};

void PrintTo(const PrefixCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class NumericPrefix : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(NumericPrefix, ReadsTheLongestNumericPrefix) {
    EXPECT_DOUBLE_EQ(runtime::readNumericPrefix(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumericPrefix,
    ::testing::Values(PrefixCase{"1MB", 1}, PrefixCase{"1.38", 1.38}, PrefixCase{"500K", 500},
                      PrefixCase{"", 0}, PrefixCase{"abc", 0}, PrefixCase{"MB12", 0},
                      PrefixCase{" 1 2 3", 123}, PrefixCase{"1\t0\n0", 100}, PrefixCase{"-5", -5},
                      PrefixCase{"+7", 7}, PrefixCase{"- 5", -5}, PrefixCase{".5", 0.5},
                      PrefixCase{"5.", 5}, PrefixCase{"1.2.3", 1.2}, PrefixCase{"1e3", 1000},
                      PrefixCase{"1E+3x", 1000}, PrefixCase{"2.5d2", 250}, PrefixCase{"1e", 1},
                      PrefixCase{"1e-", 1}, PrefixCase{"3,5", 3}, PrefixCase{"&HFF", 255},
                      PrefixCase{"&hff", 255}, PrefixCase{"&HFFFF", -1},
                      PrefixCase{"&H8000", -32768}, PrefixCase{"&H10000", 65536},
                      PrefixCase{"&HFFFFFFFF", -1}, PrefixCase{"&O17", 15}, PrefixCase{"&17", 15},
                      PrefixCase{"&H", 0}, PrefixCase{"&X1", 0}, PrefixCase{"1e-400", 0},
                      PrefixCase{".", 0}, PrefixCase{"-", 0}));

TEST(NumericPrefix, OverflowsBeyondADoubleOrALongLiteral) {
    EXPECT_EQ(errorOf([] { runtime::readNumericPrefix("1e400"); }), ErrorNumber::Overflow);
    EXPECT_EQ(errorOf([] { runtime::readNumericPrefix("&H100000000"); }), ErrorNumber::Overflow);
}

TEST(NumericPrefix, UsesThePointWhateverTheLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const bool switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ||
                          std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") != nullptr;
    EXPECT_DOUBLE_EQ(runtime::readNumericPrefix("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(runtime::readNumericPrefix("1,5"), 1);
    std::setlocale(LC_NUMERIC, previous.c_str());
    if (!switched) {
        GTEST_SKIP() << "no comma-decimal locale installed";
    }
}

TEST(ErrorText, CarriesTheChineseDescriptionAndThePath) {
    const Error plain(ErrorNumber::Overflow);
    EXPECT_EQ(plain.description(), "溢出");
    const Error withFile(ErrorNumber::FileNotFound, "/tmp/x.doc");
    EXPECT_EQ(withFile.description(), "文件未找到：/tmp/x.doc");
    EXPECT_EQ(static_cast<int>(withFile.number()), 53);
}

} // namespace
