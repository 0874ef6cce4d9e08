#include "engine/merge_run.h"
#include "engine/split_run.h"
#include "recording_host.h"
#include "runtime/file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace fs = std::filesystem;
using engine::MergeIT;
using Kind = engine::Ending;
using testing_support::entriesIn;
using testing_support::readFile;
using testing_support::RecordingHost;
using testing_support::TempFolder;
using testing_support::writeFile;

namespace {

// Splits content under name into pieces of size beside it, then removes the source.
void splitAway(const TempFolder& folder, const std::string& name, const std::string& content,
               std::int64_t size) {
    writeFile(folder.file(name), content);
    RecordingHost host;
    ASSERT_TRUE(engine::SplitIT(host, folder.file(name), size, "").completed());
    ASSERT_TRUE(host.messages.empty()) << host.messages.front();
    fs::remove(fs::u8path(folder.file(name)));
}

TEST(MergeRun, GivesBackTheSourceForManyNamesLengthsAndSizes) {
    const std::vector<std::pair<std::string, std::string>> names = {
        {"plain.bin", "plain.BAT"},
        {"my file.doc", "my file.BAT"},
        {"100%.txt", "100%.BAT"},
        {"x.tar.gz", "x.BAT"},
        {"说明 书(1).pdf", "说明 书(1).BAT"},
        {"noextension", "noextension.BAT"},
        // 252 bytes: its pieces reach the 255-byte limit, the temporary name must not pass it.
        {std::string(248, 'n') + ".txt", std::string(248, 'n') + ".BAT"}};
    std::mt19937 random(99);
    for (const auto& [name, script] : names) {
        TempFolder folder;
        const std::size_t length = 3 + random() % 300000;
        const auto size = static_cast<std::int64_t>(1 + random() % (length / 2));
        if ((length + size - 1) / size > 500) {
            continue;
        }
        const std::string content = testing_support::randomBytes(length, random());
        splitAway(folder, name, content, size);
        RecordingHost host;
        EXPECT_TRUE(MergeIT(host, folder.file(script)).completed()) << name;
        EXPECT_TRUE(host.messages.empty()) << name;
        EXPECT_EQ(host.lastStatus(), engine::merge_text::succeededAndChecked);
        EXPECT_EQ(readFile(folder.file(name)), content) << name;
    }
}

TEST(MergeRun, ShowsProgressPerPieceInTheSplitsForm) {
    TempFolder folder;
    splitAway(folder, "p.txt", "0123456789", 3);
    RecordingHost host;
    MergeIT(host, folder.file("p.BAT"));
    const std::vector<std::string> expected = {"正在处理：" + folder.file("p001.txt") + "  25.00%",
                                               "正在处理：" + folder.file("p002.txt") + "  50.00%",
                                               "正在处理：" + folder.file("p003.txt") + "  75.00%",
                                               "正在处理：" + folder.file("p004.txt") + "  100.00%",
                                               engine::merge_text::succeededAndChecked};
    EXPECT_EQ(host.statuses, expected);
}

TEST(MergeRun, JoinsFromTheFirstPieceWithOrWithoutItsScript) {
    TempFolder folder;
    const std::string content = testing_support::randomBytes(1000, 5);
    splitAway(folder, "book.txt", content, 300);
    RecordingHost withScript;
    EXPECT_TRUE(MergeIT(withScript, folder.file("book001.txt")).completed());
    EXPECT_EQ(readFile(folder.file("book.txt")), content);

    fs::remove(fs::u8path(folder.file("book.txt")));
    fs::remove(fs::u8path(folder.file("book.BAT")));
    RecordingHost withoutScript;
    EXPECT_TRUE(MergeIT(withoutScript, folder.file("book001.txt")).completed());
    EXPECT_EQ(readFile(folder.file("book.txt")), content);
}

TEST(MergeRun, ResolvesNamesInTheScriptsFolderNotTheCurrentOne) {
    TempFolder folder;
    TempFolder elsewhere;
    splitAway(folder, "r.txt", "abcdefgh", 3);
    const fs::path previous = fs::current_path();
    fs::current_path(elsewhere.path());
    writeFile("r001.txt", "WRONG");
    RecordingHost host;
    const bool merged = MergeIT(host, folder.file("r.BAT")).completed();
    fs::current_path(previous);
    EXPECT_TRUE(merged);
    EXPECT_EQ(readFile(folder.file("r.txt")), "abcdefgh");
    EXPECT_EQ(entriesIn(elsewhere.path()), 1u);
}

struct BrokenSetCase {
    const char* name;
    std::function<void(const TempFolder&)> breakIt;
    const char* picked;
    const char* descriptionPart;
};

void PrintTo(const BrokenSetCase& c, std::ostream* os) {
    *os << c.name;
}

class MergeRefusal : public ::testing::TestWithParam<BrokenSetCase> {};

// Each refusal leaves the old target untouched and writes nothing new.
TEST_P(MergeRefusal, ReportsTheProblemAndLeavesTheFolderAsItWas) {
    const auto& c = GetParam();
    TempFolder folder;
    splitAway(folder, "s.txt", "0123456789", 3); // s001..s004, s.BAT
    writeFile(folder.file("s.txt"), "old target");
    c.breakIt(folder);
    std::vector<std::string> before;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        before.push_back(testing_support::utf8(entry.path().filename()) + "=" +
                         readFile(testing_support::utf8(entry.path())));
    }
    RecordingHost host;
    EXPECT_EQ(MergeIT(host, folder.file(c.picked)).ending(), Kind::Refused);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].rfind("错误提示信息:", 0), 0u) << host.messages[0];
    EXPECT_NE(host.messages[0].find(c.descriptionPart), std::string::npos) << host.messages[0];
    EXPECT_EQ(host.lastStatus().find("合并成功"), std::string::npos);
    std::vector<std::string> after;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        after.push_back(testing_support::utf8(entry.path().filename()) + "=" +
                        readFile(testing_support::utf8(entry.path())));
    }
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
}

void script(const TempFolder& f, const std::string& text) {
    writeFile(f.file("s.BAT"), text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MergeRefusal,
    ::testing::Values(
        BrokenSetCase{"MissingScript", [](auto& f) { fs::remove(fs::u8path(f.file("s.BAT"))); },
                      "s.BAT", "找不到要合并的文件"},
        BrokenSetCase{"NotAScript", [](auto& f) { script(f, "echo hello\r\n"); }, "s.BAT",
                      "不是可以执行的合并脚本"},
        BrokenSetCase{"TypedCommand", [](auto&) {}, "del s001.txt", "找不到要合并的文件"},
        BrokenSetCase{"MissingPiece", [](auto& f) { fs::remove(fs::u8path(f.file("s003.txt"))); },
                      "s.BAT", "s003.txt"},
        BrokenSetCase{"OutsideTheFolder",
                      [](auto& f) { script(f, "COPY/B s001.txt/B+s002.txt/B ..\\x.txt/B\r\n"); },
                      "s.BAT", "文件夹"},
        BrokenSetCase{"GapWithoutScript",
                      [](auto& f) {
                          fs::remove(fs::u8path(f.file("s.BAT")));
                          fs::remove(fs::u8path(f.file("s003.txt")));
                      },
                      "s001.txt", "s003.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MergeRun, AnEmptyNameAsksForAFile) {
    RecordingHost host;
    EXPECT_EQ(MergeIT(host, "").ending(), Kind::Refused);
    EXPECT_EQ(host.messages, std::vector<std::string>{"请输入要合并的文件！"});
}

TEST(MergeRun, ACancelRemovesTheUnfinishedTarget) {
    TempFolder folder;
    splitAway(folder, "c.txt", std::string(100, 'c'), 10);
    writeFile(folder.file("c.txt"), "old");
    RecordingHost host;
    host.actOnPump = 3;
    host.action = [] { throw engine::RunCancelled{}; };
    EXPECT_EQ(MergeIT(host, folder.file("c.BAT")).ending(), Kind::Cancelled);
    EXPECT_EQ(host.lastStatus(), engine::merge_text::stopped);
    EXPECT_EQ(readFile(folder.file("c.txt")), "old");
    EXPECT_EQ(entriesIn(folder.path()), 13u); // ten pieces, script, checksums, the old target
}

} // namespace
