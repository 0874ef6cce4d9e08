#include "runtime/number_text.h"

#include <gtest/gtest.h>

namespace {

TEST(PieceNumber, HasAtLeastThreeDigits) {
    const std::pair<int, const char*> table[] = {
        {1, "001"}, {42, "042"}, {999, "999"}, {1000, "1000"}, {32767, "32767"}};
    for (const auto& [value, text] : table) {
        EXPECT_EQ(runtime::formatPieceNumber(value), text) << value;
    }
}

TEST(PercentText, HasTwoDecimalsRoundedHalfUp) {
    struct Row {
        long long part, whole;
        const char* text;
    };
    const Row table[] = {{1, 3, "33.33%"},    {2, 3, "66.67%"}, {3, 3, "100.00%"},
                         {1, 4, "25.00%"},    {1, 32, "3.13%"}, {1, 8, "12.50%"},
                         {1, 32767, "0.00%"}, {0, 5, "0.00%"},  {32766, 32767, "100.00%"},
                         {1, 7, "14.29%"}};
    for (const auto& row : table) {
        EXPECT_EQ(runtime::percentText(row.part, row.whole), row.text)
            << row.part << "/" << row.whole;
    }
}

TEST(PlainNumberText, MatchesTheScreenForm) {
    const std::pair<double, const char*> table[] = {{0.98, " .98"},
                                                    {1.5, " 1.5"},
                                                    {0, " 0"},
                                                    {4882.81, " 4882.81"},
                                                    {0.13, " .13"},
                                                    {-0.5, "-.5"},
                                                    {-3, "-3"},
                                                    {125, " 125"},
                                                    {1048576, " 1048576"},
                                                    {123456789012345.0, " 123456789012345"},
                                                    {1e15, " 1E+15"},
                                                    {0.00001, " 1E-05"},
                                                    {0.0001, " .0001"},
                                                    {9765625.5, " 9765625.5"}};
    for (const auto& [value, text] : table) {
        EXPECT_EQ(runtime::plainNumberText(value), text) << value;
    }
}

} // namespace
