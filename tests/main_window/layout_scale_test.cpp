// The main window's twips layout on monitors of every scale: what the Windows front end
// does when Windows moves it to another monitor, checked without a toolkit.
#include "app/twips.h"
#include "main_window/form1_layout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

namespace table = main_window::layout;

layout::Rect twipsOf(const table::Control& entry) {
    return {entry.left, entry.top, entry.width, entry.height};
}

struct Scale {
    const char* name;
    int dpi;
};

class LayoutAtScale : public testing::TestWithParam<Scale> {};

TEST_P(LayoutAtScale, KeepsEveryControlInItsFrameAndInProportion) {
    const int dpi = GetParam().dpi;
    for (const table::Control& entry : table::form1) {
        const layout::Rect at = layout::pixelsAt(twipsOf(entry), dpi);
        const layout::Rect frame = layout::pixelsAt(twipsOf(table::control(entry.frame)), dpi);
        // Twice the scale, twice the size, give or take the rounding of one pixel.
        const double factor = dpi / 1440.0;
        EXPECT_LE(std::abs(at.width - entry.width * factor), 1.0) << entry.name;
        EXPECT_LE(std::abs(at.height - entry.height * factor), 1.0) << entry.name;
        EXPECT_LE(std::abs(at.left - entry.left * factor), 0.5) << entry.name;
        EXPECT_GE(at.left, frame.left) << entry.name;
        EXPECT_GE(at.top, frame.top) << entry.name;
        EXPECT_LE(at.left + at.width, frame.left + frame.width) << entry.name;
        EXPECT_LE(at.top + at.height, frame.top + frame.height) << entry.name;
    }
    // Controls that line up in twips line up in pixels: the right edges of the path boxes,
    // the browse buttons' left edges.
    const auto right = [dpi](const char* name) {
        const layout::Rect at = layout::pixelsAt(twipsOf(table::control(name)), dpi);
        return at.left + at.width;
    };
    EXPECT_EQ(right("src"), right("dec"));
    EXPECT_EQ(layout::pixelsAt(twipsOf(table::control("browse")), dpi).left,
              layout::pixelsAt(twipsOf(table::control("Command3")), dpi).left);
}

INSTANTIATE_TEST_SUITE_P(Table, LayoutAtScale,
                         testing::Values(Scale{"OneHundredPercent", 96},
                                         Scale{"OneHundredTwentyFivePercent", 120},
                                         Scale{"OneHundredFiftyPercent", 144},
                                         Scale{"OneHundredSeventyFivePercent", 168},
                                         Scale{"TwoHundredPercent", 192},
                                         Scale{"ThreeHundredPercent", 288}),
                         [](const auto& info) { return std::string(info.param.name); });

// Pixels as Windows rounds them (MulDiv: to the nearest, halves away from zero).
TEST(TwipsToPixels, RoundLikeWindows) {
    struct Row {
        int twips, dpi, pixels;
    };
    const Row rows[] = {{15, 96, 1}, {6240, 96, 416}, {6240, 144, 624}, {855, 120, 71},  {7, 96, 0},
                        {8, 96, 1},  {-8, 96, -1},    {4380, 192, 584}, {1095, 168, 128}};
    for (const Row& row : rows) {
        EXPECT_EQ(layout::pixelsAt(row.twips, row.dpi), row.pixels)
            << row.twips << " twips at " << row.dpi;
    }
}

} // namespace
