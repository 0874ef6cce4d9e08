#include "main_window/window_rules.h"

#include "runtime/path.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

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

// The recovery field: a whole number of pieces to rebuild; -1 is a refusal.
TEST(RecoveryPieces, AreAWholeNumberFromZero) {
    const std::pair<const char*, int> rows[] = {
        {"", 0},    {"0", 0},    {" 3 ", 3},  {"32767", 32767}, {"32768", -1},
        {"-1", -1}, {"1.5", -1}, {"2份", -1}, {"x", -1},        {"99999999999", -1}};
    for (const auto& [text, pieces] : rows) {
        const auto read = window_rules::recoveryPieces(text);
        EXPECT_EQ(read ? *read : -1, pieces) << "\"" << text << "\"";
    }
}

// 文件放在 says where the files go: a name that is an existing folder is that folder.
TEST(DestinationPrefix, AnExistingFolderTypedWithoutASeparatorIsThatFolder) {
    const testing_support::TempFolder folder;
    std::filesystem::create_directory(folder.path() / "d3");
    const std::string d3 = folder.file("d3");
    const std::string sep(1, runtime::nativeSeparator());
    const std::pair<std::string, std::string> cases[] = {
        {d3, d3 + sep},                                   // the folder itself
        {d3 + sep, d3 + sep},                             // already a prefix
        {folder.file("d3fifty"), folder.file("d3fifty")}, // no such folder: a prefix
        {"", ""},                                         // beside the source
    };
    for (const auto& [typed, prefix] : cases) {
        EXPECT_EQ(window_rules::destinationPrefix(typed), prefix) << typed;
    }
}

} // namespace
