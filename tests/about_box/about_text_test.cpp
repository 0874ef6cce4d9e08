#include "about_box/about_text.h"

#include <gtest/gtest.h>

TEST(AboutText, CaptionVersionAndTitleComeFromTheApplicationFacts) {
    EXPECT_EQ(about_text::caption(), "关于 Corvane文件切割机2.0");
    EXPECT_EQ(about_text::versionLine(), "版本 2.0.0");
    EXPECT_EQ(about_text::title(), "Corvane文件切割机2.0");
}
