#include "engine/piece_plan.h"
#include "runtime/error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using engine::makePlan;
constexpr auto windows = runtime::PathStyle::Windows;

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
    std::int64_t size;
    std::vector<std::int64_t> pieces;
};

void PrintTo(const CountCase& c, std::ostream* os) {
    *os << c.length << " / " << c.size;
}

class PieceCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(PieceCount, IsTheCeilingWithTheLastPieceTakingTheRest) {
    const auto& c = GetParam();
    const auto plan = makePlan("D:\\in\\a.txt", c.size, "E:\\out\\", c.length, windows);
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
    EXPECT_FALSE(engine::passesSizeGate(INT64_MAX, INT64_MAX));
    EXPECT_TRUE(engine::passesSizeGate(INT64_MAX, INT64_MAX - 2));
    EXPECT_FALSE(engine::passesSizeGate(0, -1));
}

TEST(PieceCount, PlansAtMost32767Pieces) {
    EXPECT_EQ(makePlan("a.txt", 1, "", 32767, windows).count, 32767);
    EXPECT_EQ(engine::pieceCount(100000, 1), 100000);
    try {
        makePlan("a.txt", 1, "", 32768, windows);
        ADD_FAILURE() << "planned 32768 pieces";
    } catch (const runtime::Error& error) {
        EXPECT_EQ(error.number(), runtime::ErrorNumber::Overflow);
    }
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
    const auto plan = makePlan(c.source, 3, c.destination, 10, windows);
    EXPECT_EQ(plan.piecePath(1), c.firstPiece);
    EXPECT_EQ(plan.pieceBareName(1), c.firstBareName);
    EXPECT_EQ(plan.names.scriptPath(), c.script);
    EXPECT_EQ(plan.names.targetName(), c.target);
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
                   "E:\\out\\my file.BAT", "my file.doc"},
        // Windows takes "/" as a separator too.
        NamingCase{"D:/in/a.txt", "E:/out/", "E:/out/a001.txt", "a001.txt", "E:/out/a.BAT",
                   "a.txt"}));

TEST(PieceNaming, NumbersFrom1000OnHaveFourDigits) {
    const auto plan = makePlan("D:\\in\\report.doc", 1, "", 1500, windows);
    EXPECT_EQ(plan.pieceBareName(999), "report999.doc");
    EXPECT_EQ(plan.pieceBareName(1000), "report1000.doc");
    EXPECT_EQ(plan.pieceBareName(1500), "report1500.doc");
}

TEST(PieceNaming, TakesOnlyTheSlashOnPosix) {
    const auto plan =
        makePlan("/home/u/v1.0/a\\b.txt", 3, "/tmp/out/", 10, runtime::PathStyle::Posix);
    EXPECT_EQ(plan.piecePath(4), "/tmp/out/a\\b004.txt");
    EXPECT_EQ(plan.names.scriptPath(), "/tmp/out/a\\b.BAT");
}

// Every name a split makes reads back as that piece of that set, and as no other
// piece of it, also where the base itself ends in digits.
struct RoundTripCase {
    const char* source;
    std::vector<int> numbers;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.source;
}

class PieceNameRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(PieceNameRoundTrip, ReadsBackTheNumberThePlanWrote) {
    const auto& c = GetParam();
    const engine::PieceSet set = engine::PieceSet::forSource("", c.source);
    EXPECT_EQ(set.targetName(), c.source);
    for (const int number : c.numbers) {
        const std::string name = set.pieceName(number);
        EXPECT_EQ(set.pieceNumber(name), number) << name;
        const auto readings = engine::readPieceName(name);
        const bool found = std::any_of(readings.begin(), readings.end(), [&](const auto& r) {
            return r.number == number && r.set.targetName() == set.targetName();
        });
        EXPECT_TRUE(found) << name;
    }
    for (const std::string& stranger :
         {set.targetName(), set.scriptName(), set.pieceName(1) + ".bak", "x" + set.pieceName(1),
          set.base() + "0001" + set.extension(), set.base() + "000" + set.extension()}) {
        EXPECT_EQ(set.pieceNumber(stranger), 0) << stranger;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PieceNameRoundTrip,
                         ::testing::Values(RoundTripCase{"photo2.jpg", {1, 2, 999, 1000}},
                                           RoundTripCase{"IMG_1234.jpg", {1, 10, 32767}},
                                           RoundTripCase{"linux-6.1.tar.xz", {1, 2, 100}},
                                           RoundTripCase{"report_2023.pdf", {1, 2023}},
                                           RoundTripCase{"Q+A.txt", {1, 2}},
                                           RoundTripCase{"说明 书(1).pdf", {1, 7}},
                                           RoundTripCase{"Makefile", {1, 12345}},
                                           RoundTripCase{"100%.txt", {1, 3}}));

TEST(PieceNameReading, GivesEveryWayTheDigitsCanPart) {
    std::vector<std::pair<std::string, int>> seen;
    for (const auto& reading : engine::readPieceName("photo2001.jpg")) {
        seen.emplace_back(reading.set.targetName(), reading.number);
    }
    const std::vector<std::pair<std::string, int>> expected = {{"photo2.jpg", 1},
                                                               {"photo.jpg", 2001}};
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(engine::readPieceName("photo.jpg").empty());
    EXPECT_TRUE(engine::readPieceName("a99.txt").empty());
}

TEST(TemporaryName, StaysAValidNameHoweverLongTheTarget) {
    const std::string chinese = "长"; // three bytes in UTF-8
    std::string longChinese;
    while (longChinese.size() + chinese.size() <= 252) {
        longChinese += chinese;
    }
    const std::pair<std::string, int> cases[] = {{"a.txt", 0},
                                                 {"a.txt", 2},
                                                 {std::string(250, 'x') + ".bin", 0},
                                                 {std::string(251, 'y') + ".txt", 11},
                                                 {longChinese + ".doc", 0}};
    for (const auto& [target, attempt] : cases) {
        const std::string name = engine::temporaryName(target, attempt);
        const std::string suffix = ".part" + (attempt ? std::to_string(attempt) : "");
        EXPECT_LE(name.size(), 255u) << target;
        ASSERT_GT(name.size(), suffix.size());
        EXPECT_EQ(name.substr(name.size() - suffix.size()), suffix);
        // What is kept of the target is cut between two characters, never inside one.
        std::string kept = name.substr(0, name.size() - suffix.size());
        if (kept.size() < target.size()) {
            ASSERT_EQ(kept.back(), '~');
            kept.pop_back();
            EXPECT_NE(static_cast<unsigned char>(target[kept.size()]) & 0xC0, 0x80u) << target;
        }
        EXPECT_EQ(target.compare(0, kept.size(), kept), 0) << target;
    }
    EXPECT_EQ(engine::temporaryName("a.txt", 0), "a.txt.part");
}

} // namespace
