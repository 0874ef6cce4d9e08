#include "engine/piece_plan.h"
#include "runtime/error.h"

#include <gtest/gtest.h>

#include <vector>

using engine::makePlan;

namespace {

std::vector<std::int64_t> pieceLengths(const engine::PiecePlan& plan) {
    std::vector<std::int64_t> lengths;
    for (int i = 1; i <= plan.count; ++i) {
        lengths.push_back(plan.pieceLength(i));
    }
    return lengths;
}

struct CountCase {
    std::int64_t length;
    std::int32_t size;
    std::vector<std::int64_t> pieces;
};

void PrintTo(const CountCase& c, std::ostream* os) {
    *os << c.length << " / " << c.size;
}

class PieceCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(PieceCount, IsTheCeilingWithTheLastPieceTakingTheRest) {
    const auto& c = GetParam();
    const auto plan = makePlan("D:\\in\\a.txt", c.size, "E:\\out\\", c.length, '\\');
    EXPECT_EQ(pieceLengths(plan), c.pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PieceCount,
    ::testing::Values(CountCase{10, 3, {3, 3, 3, 1}}, CountCase{7, 3, {3, 3, 1}},
                      CountCase{8, 3, {3, 3, 2}}, CountCase{5, 2, {2, 2, 1}},
                      CountCase{9, 3, {3, 3, 3}}, CountCase{5, 3, {3, 2}},
                      // Lengths past 4 GiB with the largest piece size.
                      CountCase{5'000'000'000LL, 2147483647, {2147483647, 2147483647, 705032706}}));

TEST(SizeGate, NeedsMoreThanOneByteBeyondThePieceSize) {
    EXPECT_FALSE(engine::passesSizeGate(4, 3));
    EXPECT_FALSE(engine::passesSizeGate(3, 3));
    EXPECT_TRUE(engine::passesSizeGate(5, 3));
    EXPECT_TRUE(engine::passesSizeGate(2147483649LL, 2147483647));
    EXPECT_FALSE(engine::passesSizeGate(2147483648LL, 2147483647));
}

TEST(PieceCount, OverflowsPast32767PiecesAndDividesByZeroForSizeZero) {
    EXPECT_EQ(engine::pieceCount(32767, 1), 32767);
    auto errorOf = [](std::int64_t length, std::int32_t size) {
        try {
            engine::pieceCount(length, size);
        } catch (const runtime::Error& error) {
            return static_cast<int>(error.number());
        }
        return 0;
    };
    EXPECT_EQ(errorOf(100000, 1), 6);
    EXPECT_EQ(errorOf(32768, 1), 6);
    EXPECT_EQ(errorOf(10, 0), 11);
}

struct NamingCase {
    const char* source;
    const char* destination;
    const char* firstPiece;
    const char* firstBareName;
    const char* script;
    const char* target;
};

void PrintTo(const NamingCase& c, std::ostream* os) {
    *os << c.source << " -> " << c.destination;
}

class PieceNaming : public ::testing::TestWithParam<NamingCase> {};

TEST_P(PieceNaming, PutsTheNumberBeforeTheExtensionOfTheFileName) {
    const auto& c = GetParam();
    const auto plan = makePlan(c.source, 3, c.destination, 10, '\\');
    EXPECT_EQ(plan.piecePath(1), c.firstPiece);
    EXPECT_EQ(plan.pieceBareName(1), c.firstBareName);
    EXPECT_EQ(plan.scriptPath, c.script);
    EXPECT_EQ(plan.targetName, c.target);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PieceNaming,
    ::testing::Values(
        NamingCase{"D:\\in\\a.txt", "E:\\out\\", "E:\\out\\a001.txt", "a001.txt", "E:\\out\\a.BAT",
                   "a.txt"},
        NamingCase{"D:\\docs\\report.tar.gz", "E:\\out\\", "E:\\out\\report001.tar.gz",
                   "report001.tar.gz", "E:\\out\\report.BAT", "report.tar.gz"},
        // An empty destination puts everything beside the source.
        NamingCase{"D:\\in\\a.txt", "", "D:\\in\\a001.txt", "a001.txt", "D:\\in\\a.BAT", "a.txt"},
        // A dot in a folder name no longer counts as the extension.
        NamingCase{"D:\\v1.2\\notes.txt", "", "D:\\v1.2\\notes001.txt", "notes001.txt",
                   "D:\\v1.2\\notes.BAT", "notes.txt"},
        NamingCase{"D:\\in\\a.txt", "E:\\my.out\\", "E:\\my.out\\a001.txt", "a001.txt",
                   "E:\\my.out\\a.BAT", "a.txt"},
        // A name without a dot has no extension.
        NamingCase{"D:\\in\\Makefile", "E:\\out\\", "E:\\out\\Makefile001", "Makefile001",
                   "E:\\out\\Makefile.BAT", "Makefile"},
        NamingCase{"a.txt", "", "a001.txt", "a001.txt", "a.BAT", "a.txt"},
        NamingCase{"D:\\in\\my file.doc", "E:\\out\\", "E:\\out\\my file001.doc", "my file001.doc",
                   "E:\\out\\my file.BAT", "my file.doc"}));

TEST(PieceNaming, NumbersFrom1000OnHaveFourDigits) {
    const auto plan = makePlan("D:\\in\\report.doc", 1, "", 1500, '\\');
    EXPECT_EQ(plan.pieceBareName(999), "report999.doc");
    EXPECT_EQ(plan.pieceBareName(1000), "report1000.doc");
    EXPECT_EQ(plan.pieceBareName(1500), "report1500.doc");
}

TEST(PieceNaming, UsesTheGivenSeparator) {
    const auto plan = makePlan("/home/u/v1.0/a.txt", 3, "/tmp/out/", 10, '/');
    EXPECT_EQ(plan.piecePath(4), "/tmp/out/a004.txt");
    EXPECT_EQ(plan.scriptPath, "/tmp/out/a.BAT");
}

} // namespace
