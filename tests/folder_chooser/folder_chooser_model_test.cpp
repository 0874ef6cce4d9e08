#include "folder_chooser/folder_chooser_model.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using folder_chooser::FolderChooserModel;

struct OrderCase {
    const char* name;
    const char* first;
    const char* second;
};

void PrintTo(const OrderCase& c, std::ostream* os) {
    *os << c.name;
}

class SubFolderOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(SubFolderOrder, IsAFileManagersOrder) {
    const auto& c = GetParam();
    EXPECT_TRUE(folder_chooser::listedBefore(c.first, c.second));
    EXPECT_FALSE(folder_chooser::listedBefore(c.second, c.first));
}

INSTANTIATE_TEST_SUITE_P(Table, SubFolderOrder,
                         ::testing::Values(OrderCase{"LettersWithoutRegardToCase", "apple",
                                                     "Banana"},
                                           OrderCase{"UpperCaseIsNoEarlier", "apple", "Zebra"},
                                           OrderCase{"DigitsByValue", "file9", "file10"},
                                           OrderCase{"DigitsByValueInChinese", "第2章", "第10章"},
                                           OrderCase{"ValueBeforeLeadingZeros", "x1", "x002"},
                                           OrderCase{"EqualValuesStillHaveAnOrder", "x01", "x1"},
                                           OrderCase{"ShorterFirst", "data", "data2"},
                                           OrderCase{"AsciiBeforeChinese", "zz", "照片"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A made-up file system: each folder's sub-folders, and the drives that cannot be read.
struct Disk {
    std::map<std::string, std::vector<std::string>> folders;
    std::set<std::string> unreadable;
    std::string current = "D:\\work";

    folder_chooser::FolderSystem system() {
        return {[this](const std::string& folder) {
                    const auto found = folders.find(folder);
                    return found == folders.end() ? std::vector<std::string>{} : found->second;
                },
                [this](const std::string& drive) { return unreadable.count(drive) == 0; },
                [this] { return current; }};
    }
};

std::vector<std::string> labels(const FolderChooserModel& model) {
    std::vector<std::string> shown;
    for (const auto& row : model.rows()) {
        shown.push_back(row.label);
    }
    return shown;
}

TEST(FolderChooserModel, ListsTheChainThenTheSubFoldersInOrder) {
    Disk disk;
    disk.folders["/home/王"] = {"第10章", "b", "A", "第2章"};
    disk.folders["/home/王/第2章"] = {"图"};
    FolderChooserModel model({"/", "/media/usb"}, disk.system(), '/');
    model.load("/home/王/");
    EXPECT_EQ(model.drive(), "/");
    EXPECT_EQ(model.folder(), "/home/王");
    EXPECT_EQ(model.text(), "/home/王/");
    EXPECT_EQ(labels(model), (std::vector<std::string>{"/", "  home", "    王", "      A",
                                                       "      b", "      第2章", "      第10章"}));
    EXPECT_EQ(model.openRow(), 2);
    model.openRowAt(5);
    EXPECT_EQ(model.folder(), "/home/王/第2章");
    EXPECT_EQ(labels(model),
              (std::vector<std::string>{"/", "  home", "    王", "      第2章", "        图"}));
    model.openRowAt(0);
    EXPECT_EQ(model.folder(), "/");
    EXPECT_EQ(model.text(), "/");
}

struct StartCase {
    const char* name;
    std::vector<std::string> drives;
    char separator;
    const char* start;
    const char* drive;
    const char* folder;
};

void PrintTo(const StartCase& c, std::ostream* os) {
    *os << c.name;
}

class ChooserStart : public ::testing::TestWithParam<StartCase> {};

// Where the chooser opens: the folder given, on the drive that holds it.
TEST_P(ChooserStart, OpensTheFolderOnTheDriveThatHoldsIt) {
    const auto& c = GetParam();
    Disk disk;
    FolderChooserModel model(c.drives, disk.system(), c.separator);
    model.load(c.start);
    EXPECT_EQ(model.drive(), c.drive);
    EXPECT_EQ(model.folder(), c.folder);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChooserStart,
    ::testing::Values(
        StartCase{
            "FolderPrefixOpensItsFolder", {"C:\\", "E:\\"}, '\\', "E:\\data\\", "E:\\", "E:\\data"},
        StartCase{"ARootStaysItself", {"C:\\"}, '\\', "C:\\", "C:\\", "C:\\"},
        StartCase{"DriveLettersWithoutRegardToCase",
                  {"C:\\", "E:\\"},
                  '\\',
                  "e:\\data",
                  "E:\\",
                  "e:\\data"},
        StartCase{"TheLongestMountPointHoldsIt",
                  {"/", "/media/usb"},
                  '/',
                  "/media/usb/photos",
                  "/media/usb",
                  "/media/usb/photos"},
        StartCase{"OffEveryDriveOpensTheFirst",
                  {"C:\\", "E:\\"},
                  '\\',
                  "\\\\server\\share",
                  "C:\\",
                  "C:\\"},
        // Before any file was chosen: where the program was started.
        StartCase{
            "NothingGivenOpensTheCurrentFolder", {"C:\\", "D:\\"}, '\\', "", "D:\\", "D:\\work"}),
    [](const auto& info) { return std::string(info.param.name); });

// Each drive opens at the folder last open on it; one that cannot be read is not opened.
TEST(FolderChooserModel, EachDriveKeepsItsLastFolderAndAnUnreadableOneIsRefused) {
    Disk disk;
    disk.folders["D:\\"] = {"music"};
    disk.unreadable = {"A:\\"};
    FolderChooserModel model({"A:\\", "C:\\", "D:\\"}, disk.system(), '\\');
    model.load("C:\\data\\x");
    EXPECT_EQ(model.pickDrive("D:\\"), std::nullopt);
    EXPECT_EQ(model.folder(), "D:\\");
    model.openRowAt(1);
    EXPECT_EQ(model.folder(), "D:\\music");
    model.pickDrive("C:\\");
    EXPECT_EQ(model.folder(), "C:\\data\\x");
    model.pickDrive("D:\\");
    EXPECT_EQ(model.folder(), "D:\\music");
    const auto warning = model.pickDrive("A:\\");
    ASSERT_TRUE(warning.has_value());
    EXPECT_NE(warning->find("A:\\"), std::string::npos);
    EXPECT_EQ(model.drive(), "D:\\");
    EXPECT_EQ(model.folder(), "D:\\music");
}

} // namespace
