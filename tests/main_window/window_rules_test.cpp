#include "main_window/window_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(SizeLine, IsKilobytesInThePlainNumberForm) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {1536, "文件大小： 1.5KBytes"},
        {1000, "文件大小： .98KBytes"},
        {0, "文件大小： 0KBytes"},
        {5000000, "文件大小： 4882.81KBytes"},
        {5'000'000'000LL, "文件大小： 4882812.5KBytes"}};
    for (const auto& [length, line] : cases) {
        EXPECT_EQ(window_rules::sizeLine(length), line) << length;
    }
}

TEST(StartRequest, SaysWhatIsMissingOrGivesTheSize) {
    SizeSelection selection;
    selection.captions = {"1MB", "1.38MB", "500KB（手机电子书）", "其它容量"};
    EXPECT_EQ(window_rules::startRequest("", selection).problem().message, "请选择要分割的文件！");
    EXPECT_EQ(window_rules::startRequest("a.txt", selection).value(), 512000);
    selection.selectedOption = 3;
    selection.customText = "8796093022208";
    selection.unitChecked[0] = true;
    EXPECT_EQ(window_rules::startRequest("a.txt", selection).problem().message,
              "分割后文件大小超出范围,请重新设置!");
}

} // namespace
