#include "about_box/about_layout.h"
#include "about_box/about_text.h"

#include <gtest/gtest.h>

namespace table = about_box;

TEST(AboutText, CaptionVersionAndTitleComeFromTheApplicationFacts) {
    EXPECT_EQ(about_text::caption(), "关于 Corvane文件切割机2.0");
    EXPECT_EQ(table::textOf(table::label("lblVersion").text), "版本 2.0.0");
    EXPECT_EQ(table::textOf(table::label("lblTitle").text), "Corvane文件切割机2.0");
}

// No empty band: every line but the icon has words, and the team's lines name no person.
TEST(AboutText, EveryLineSaysSomething) {
    for (const table::Label& entry : table::labels) {
        EXPECT_EQ(table::textOf(entry.text).empty(), entry.text == table::Text::Icon) << entry.name;
    }
    EXPECT_EQ(table::textOf(table::label("Label1").text), "Corvane 开发组");
}

// The title keeps its size where it fits, and gives up three quarters of a point at a time
// where a stand-in face runs wider, never below the smallest size.
TEST(AboutLayout, TheTitleShrinksOnlyUntilItFits) {
    const struct {
        const char* name;
        double fitsFrom; // the largest size at which the title fits
        double points;
    } rows[] = {{"FitsAtItsOwnSize", 30, 21.75},
                {"FitsAQuarterSmaller", 21, 21},
                {"FitsBetweenTheSteps", 18.5, 18},
                {"FitsAtTheSmallest", 12, 12},
                {"NeverFits", 1, table::smallestTitlePoints}};
    for (const auto& row : rows) {
        EXPECT_DOUBLE_EQ(table::titlePoints([&](double points) { return points <= row.fitsFrom; }),
                         row.points)
            << row.name;
    }
}
