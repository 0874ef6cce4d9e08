#include "main_window/status_line.h"

#include <gtest/gtest.h>

namespace {

// Characters, not bytes, so the table reads plainly.
std::size_t characters(const std::string& text) {
    std::size_t count = 0;
    for (const char c : text) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

struct StatusCase {
    const char* name;
    const char* text;
    std::size_t room;
    const char* shown;
};

void PrintTo(const StatusCase& c, std::ostream* os) {
    *os << c.name;
}

class StatusLine : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusLine, ShowsWhatMattersInTheRoomItHas) {
    const auto& c = GetParam();
    const std::string shown = shownStatus(
        c.text, [&](const std::string& candidate) { return characters(candidate) <= c.room; });
    EXPECT_EQ(shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StatusLine,
    ::testing::Values(
        StatusCase{"Fits", "正在处理：/a/b001.txt  50.00%", 40, "正在处理：/a/b001.txt  50.00%"},
        // Folders give way whole, from the middle: the drive or root and the last stay longest.
        StatusCase{"FolderGivesWay", "正在处理：/home/user/long folder/report001.doc  33.33%", 46,
                   "正在处理：/home/…/long folder/report001.doc  33.33%"},
        StatusCase{"MoreFoldersGiveWay", "正在处理：/home/user/long folder/report001.doc  33.33%",
                   45, "正在处理：/…/long folder/report001.doc  33.33%"},
        StatusCase{"OnlyTheRootLeft", "正在处理：/home/user/long folder/report001.doc  33.33%", 29,
                   "正在处理：/…/report001.doc  33.33%"},
        StatusCase{"WindowsFolder", "正在处理：C:\\Users\\someone\\测试\\book001.txt  7.00%", 37,
                   "正在处理：C:\\Users\\…\\测试\\book001.txt  7.00%"},
        StatusCase{"WindowsFolderToTheDrive",
                   "正在处理：C:\\Users\\someone\\测试\\book001.txt  7.00%", 30,
                   "正在处理：C:\\…\\book001.txt  7.00%"},
        StatusCase{"NoRoomForAFolder", "正在处理：/abcdef/x001.txt  1.00%", 22,
                   "正在处理：…/x001.txt  1.00%"},
        StatusCase{"OtherText", "文件分割操作已经圆满完成!共生成3个分割文件!", 10,
                   "文件分割操…割文件!"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
