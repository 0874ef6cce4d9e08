#include "main_window/piece_size.h"

#include <gtest/gtest.h>

namespace {

const std::array<std::string, 4> captions = {"1MB", "1.38MB", "500KB（手机电子书）", "其它容量"};
enum Unit { None = -1, MB = 0, KB = 1, Bytes = 2 };

struct SizeCase {
    const char* name;
    int option;
    const char* text;
    Unit unit;
    std::int64_t size;
    bool outOfRange;
};

void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << c.name;
}

class PieceSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PieceSize, EvaluatesTheSelection) {
    const auto& c = GetParam();
    SizeSelection selection;
    selection.selectedOption = c.option;
    selection.captions = captions;
    selection.customText = c.text;
    if (c.unit != None) {
        selection.unitChecked[static_cast<std::size_t>(c.unit)] = true;
    }
    const PieceSizeResult result = evaluatePieceSize(selection);
    EXPECT_EQ(result.ok() ? result.value() : 0, c.size);
    EXPECT_EQ(!result.ok(), c.outOfRange);
    if (!result.ok()) {
        EXPECT_EQ(result.problem().message, sizeOutOfRange);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PieceSize,
    ::testing::Values(SizeCase{"Preset1MB", 0, "", MB, 1048576, false},
                      SizeCase{"Preset138MB", 1, "", MB, 1447035, false},
                      SizeCase{"OpeningState500KB", 2, "", MB, 512000, false},
                      SizeCase{"PresetsIgnoreTheUnits", 2, "9", KB, 512000, false},
                      SizeCase{"OtherMegabytesChecked", 3, "3", MB, 3145728, false},
                      SizeCase{"OtherEmpty", 3, "", MB, 0, false},
                      SizeCase{"Other10KB", 3, "10", KB, 10240, false},
                      SizeCase{"Other2MB", 3, "2", MB, 2097152, false},
                      SizeCase{"Other700NoUnit", 3, "700", None, 700, false},
                      SizeCase{"Other700Bytes", 3, "700", Bytes, 700, false},
                      SizeCase{"Other2047MB", 3, "2047", MB, 2146435072, false},
                      SizeCase{"UnitBeforeRounding15MB", 3, "1.5", MB, 1572864, false},
                      SizeCase{"UnitBeforeRounding05KB", 3, "0.5", KB, 512, false},
                      SizeCase{"BytesHalfToEven25", 3, "2.5", None, 2, false},
                      SizeCase{"BytesHalfToEven35", 3, "3.5", Bytes, 4, false},
                      SizeCase{"Past32Bits", 3, "2147483648", None, 2147483648, false},
                      SizeCase{"Fat32Largest4095MB", 3, "4095", MB, 4293918720, false},
                      SizeCase{"Fat32LargestBytes", 3, "4294967295", None, 4294967295, false},
                      SizeCase{"Dvd4482MB", 3, "4482", MB, 4699717632, false},
                      SizeCase{"LargestDouble", 3, "9223372036854774784", None, 9223372036854774784,
                               false},
                      SizeCase{"Out2To63", 3, "9223372036854775808", None, 0, true},
                      SizeCase{"OutTimesUnit", 3, "8796093022208", MB, 0, true},
                      SizeCase{"OutHugeNumber", 3, "1e400", None, 0, true},
                      SizeCase{"ZeroHandedOn", 3, "0", KB, 0, false},
                      SizeCase{"NegativeHandedOn", 3, "-4", KB, -4096, false},
                      SizeCase{"PrefixWithBlanks", 3, " 1 0 abc", KB, 10240, false},
                      SizeCase{"HexLiteral", 3, "&H10", None, 16, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PieceSize, TakesCharactersNotBytesFromCaptions) {
    EXPECT_EQ(firstCharacters("500KB（手机电子书）", 4), "500K");
    EXPECT_EQ(firstCharacters("其它容量", 2), "其它");
    EXPECT_EQ(firstCharacters("1MB", 4), "1MB");
}

} // namespace
