// Rules where Windows and POSIX file systems differ; each test states both sides.
#include "engine/merge_decision.h"
#include "engine/merge_run.h"
#include "engine/merge_script.h"
#include "engine/split_run.h"
#include "recording_host.h"
#include "runtime/file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::RecordingHost;
using testing_support::TempFolder;
using testing_support::writeFile;

namespace {

// A path the standard library can use however long it is.
fs::path longPath(const std::string& utf8) {
#ifdef _WIN32
    return fs::u8path("\\\\?\\" + utf8);
#else
    return fs::u8path(utf8);
#endif
}

TEST(PlatformRules, AScriptNamedLikeTheSourceInAnotherCaseIsTheSourceWhereNamesFoldCase) {
    TempFolder folder;
    writeFile(folder.file("a.bat"), "echo keep me");
    RecordingHost host;
    const bool result = engine::SplitIT(host, folder.file("a.bat"), 4, "").completed();
    EXPECT_EQ(readFile(folder.file("a.bat")), "echo keep me");
#ifdef _WIN32
    EXPECT_FALSE(result);
    EXPECT_EQ(host.messages, std::vector<std::string>{engine::split_text::wouldOverwriteSource});
#else
    // a.bat and a.BAT are two files here.
    EXPECT_TRUE(result);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(readFile(folder.file("a.BAT")),
              "COPY/B a001.bat/B+a002.bat/B+a003.bat/B a.bat/B\r\n");
#endif
}

// What the split writes on one platform the merge reads on the other: Chinese names in
// code page 936, names outside it in UTF-8 after a CHCP line, on Linux and Windows alike.
// Whatever the system's code pages, the same bytes: a Windows of any language reads them.
TEST(PlatformRules, ScriptsAreTheSameBytesOnEverySystemAndReadBack) {
    const std::pair<std::string, std::string> cases[] = {
        {"说明.txt", "@CHCP 936 >NUL\r\nCOPY/B \xCB\xB5\xC3\xF7"
                     "001.txt/B+\xCB\xB5\xC3\xF7"
                     "002.txt/B \xCB\xB5\xC3\xF7.txt/B\r\n"},
        {"smile\xF0\x9F\x98\x80.txt", "@CHCP 65001 >NUL\r\nCOPY/B smile\xF0\x9F\x98\x80"
                                      "001.txt/B+smile\xF0\x9F\x98\x80"
                                      "002.txt/B smile\xF0\x9F\x98\x80.txt/B\r\n"}};
    for (const auto& [name, bytes] : cases) {
        TempFolder folder;
        writeFile(folder.file(name), "0123456789");
        RecordingHost split;
        ASSERT_TRUE(engine::SplitIT(split, folder.file(name), 6, "").completed()) << name;
        const std::string base = name.substr(0, name.find('.'));
        EXPECT_EQ(readFile(folder.file(base + ".BAT")), bytes);
        fs::remove(fs::u8path(folder.file(name)));
        RecordingHost merge;
        EXPECT_TRUE(engine::MergeIT(merge, folder.file(base + ".BAT")).completed()) << name;
        EXPECT_EQ(readFile(folder.file(name)), "0123456789");
    }
}

#ifdef _WIN32
// The command interpreter itself joins what the script names. Wine's cmd copies only the
// first piece of the "name/B+name" form and ignores CHCP 65001, so it is given the same
// names in the blank-separated form, for names in code page 936.
TEST(PlatformRules, TheCommandInterpreterJoinsThePiecesTheScriptNames) {
    struct Case {
        std::string name;
        std::size_t length;
        std::int64_t pieceSize;
    };
    // The last: 1500 pieces, a script of several lines that append to the target.
    for (const auto& [name, length, pieceSize] :
         {Case{"报告 第1版.doc", 5000, 2000}, Case{"100% 说明.txt", 5000, 2000},
          Case{"plain.bin", 5000, 2000}, Case{"many.bin", 3000, 2}}) {
        // Windows' cmd reads the lines after "@CHCP 936" in code page 936 on any Windows;
        // wine's does not follow CHCP, so there only a Chinese system shows it.
        if (name.find(".bin") == std::string::npos && GetOEMCP() != 936) {
            continue;
        }
        TempFolder folder;
        const std::string content = testing_support::randomBytes(length, 4);
        writeFile(folder.file(name), content);
        RecordingHost split;
        ASSERT_TRUE(engine::SplitIT(split, folder.file(name), pieceSize, "").completed());
        const std::string base = name.substr(0, name.find('.'));
        std::string script = readFile(folder.file(base + ".BAT"));
        const auto replaceAll = [&](const std::string& from, const std::string& to) {
            for (auto at = script.find(from); at != std::string::npos;
                 at = script.find(from, at + to.size())) {
                script.replace(at, from.size(), to);
            }
        };
        replaceAll("/B+", " + ");
        replaceAll("/B ", " ");
        replaceAll("/B\r\n", "\r\n");
        replaceAll("COPY ", "COPY /B "); // binary mode, once, for the whole command
        writeFile(folder.file("join.bat"), script);
        fs::rename(fs::u8path(folder.file(name)), fs::u8path(folder.file("source.orig")));
        const std::wstring command = L"cd /d \"" + folder.path().wstring() + L"\" && join.bat >NUL";
        EXPECT_EQ(_wsystem(command.c_str()), 0) << name;
        EXPECT_EQ(readFile(folder.file(name)), content) << name;
    }
}

// The line length the scripts keep to is the one cmd reads whole, and a longer line is cut.
TEST(PlatformRules, TheCommandInterpreterReadsAScriptLineOfTheLongestLengthWhole) {
    TempFolder folder;
    for (const std::size_t length : {engine::longestScriptLine, engine::longestScriptLine + 1}) {
        const std::string echo = "@echo ";
        writeFile(folder.file("long.bat"), echo + std::string(length - echo.size(), 'x') + "\r\n");
        const std::wstring command =
            L"cd /d \"" + folder.path().wstring() + L"\" && long.bat >said.txt";
        ASSERT_EQ(_wsystem(command.c_str()), 0);
        const std::string said = readFile(folder.file("said.txt"));
        const auto echoed = said.find_first_not_of('x') == std::string::npos
                                ? said.size()
                                : said.find_first_not_of('x');
        EXPECT_EQ(echoed == length - echo.size(), length == engine::longestScriptLine) << length;
    }
}
#endif

TEST(PlatformRules, LongPathsWithBlanksSplitAndMerge) {
    TempFolder folder;
    std::string deep = testing_support::utf8(folder.path());
    while (deep.size() < 300) {
        deep += runtime::nativeSeparator();
        deep += "a folder with a long name 长路径";
        fs::create_directory(longPath(deep));
    }
    const std::string source = deep + runtime::nativeSeparator() + "the file.bin";
    const std::string content = testing_support::randomBytes(5000, 1);
    writeFile(source, content);
    RecordingHost split;
    ASSERT_TRUE(engine::SplitIT(split, source, 2000, "").completed());
    ASSERT_TRUE(split.messages.empty()) << split.messages.front();
    fs::remove(longPath(source));
    RecordingHost merge;
    EXPECT_TRUE(
        engine::MergeIT(merge, deep + runtime::nativeSeparator() + "the file.BAT").completed());
    EXPECT_TRUE(merge.messages.empty()) << merge.messages.front();
    EXPECT_EQ(readFile(source), content);
    // Removed here level by level: the folder's own clean-up cannot reach that deep on Windows.
    for (const char* name : {"the file.bin", "the file001.bin", "the file002.bin",
                             "the file003.bin", "the file.BAT", "the file.bin.sha256"}) {
        fs::remove(longPath(deep + runtime::nativeSeparator() + name));
    }
    for (; deep.size() > testing_support::utf8(folder.path()).size();
         deep.erase(deep.rfind(runtime::nativeSeparator()))) {
        fs::remove(longPath(deep));
    }
}

#ifndef _WIN32
// Linux names are bytes; one that is not UTF-8 (from another system's encoding) gives a
// script and a checksum file that no reader takes, so it is refused before anything.
TEST(PlatformRules, ASourceNameThatIsNotTextIsRefusedBeforeAnythingIsWritten) {
    TempFolder folder;
    writeFile(folder.file("a\xFF\xFE.bin"), "0123456789");
    RecordingHost host;
    EXPECT_EQ(engine::SplitIT(host, folder.file("a\xFF\xFE.bin"), 3, "").ending(),
              engine::Ending::Refused);
    EXPECT_EQ(host.messages, std::vector<std::string>{engine::split_text::nameNotText});
    EXPECT_EQ(testing_support::entriesIn(folder.path()), 1u);
}
#endif

struct TargetNameCase {
    const char* name;
    std::vector<std::string> pieces; // all of them 2 bytes, but the last of 1
    std::string target;              // as the script writes it
    std::string windowsRefusal;      // part of the refusal Windows gives; POSIX joins
};

void PrintTo(const TargetNameCase& c, std::ostream* os) {
    *os << c.name;
}

class TargetName : public ::testing::TestWithParam<TargetNameCase> {};

// Names that Windows takes for a piece or a device: a merge there would overwrite the
// piece or write nowhere, and report success.
TEST_P(TargetName, IsRefusedWhereTheSystemWouldTakeItForAnotherFile) {
    const auto& c = GetParam();
    std::vector<engine::ListedFile> listing;
    std::string line = "COPY/B ";
    for (std::size_t i = 0; i < c.pieces.size(); ++i) {
        listing.push_back({c.pieces[i], i + 1 < c.pieces.size() ? 2 : 1, true, std::nullopt});
        line += c.pieces[i] + (i + 1 < c.pieces.size() ? "/B+" : "/B ");
    }
    line += c.target + "/B\r\n";
    const std::string script = "@CHCP 65001 >NUL\r\n" + line;
    listing.push_back({"s.BAT", static_cast<std::int64_t>(script.size()), true, std::nullopt});
    const auto decision =
        engine::decideMerge("s.BAT", listing, [&](const std::string&) { return script; });
#ifdef _WIN32
    ASSERT_TRUE(!decision.ok());
    EXPECT_NE(decision.problem().message.find(c.windowsRefusal), std::string::npos)
        << decision.problem().message;
#else
    ASSERT_TRUE(decision.ok()) << decision.problem().message;
    std::string unquoted = c.target;
    std::erase(unquoted, '"');
    EXPECT_EQ(decision.value().target, unquoted);
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Table, TargetName,
    ::testing::Values(
        TargetNameCase{"TrailingDot", {"a001.bin", "a002.bin"}, "a001.bin.", "以点或空格结尾"},
        TargetNameCase{
            "TrailingBlank", {"a001.bin", "a002.bin"}, "\"a001.bin \"", "以点或空格结尾"},
        TargetNameCase{"CaseOutsideAscii",
                       {"\xC3\xA9"
                        "001.bin",
                        "\xC3\xA9"
                        "002.bin"},
                       "\xC3\x89"
                       "001.bin",
                       "目标文件同时也是要合并的文件"},
        TargetNameCase{"DeviceName", {"a001.bin", "a002.bin"}, "CON", "设备名"},
        TargetNameCase{"DeviceNameWithAnExtension", {"a001.bin", "a002.bin"}, "nul.txt", "设备名"},
        TargetNameCase{"NumberedDevice", {"a001.bin", "a002.bin"}, "COM1", "设备名"},
        TargetNameCase{"DeviceNumberedZero", {"a001.bin", "a002.bin"}, "lpt0.bin", "设备名"},
        // Pieces outside ASCII too, so that one reading of the script alone finds them.
        TargetNameCase{"SuperscriptNumberedDevice",
                       {"\xC2\xB9"
                        "001.bin",
                        "\xC2\xB9"
                        "002.bin"},
                       "COM\xC2\xB9.bin",
                       "设备名"},
        TargetNameCase{"SuperscriptPrinter",
                       {"\xC2\xB3"
                        "001.bin",
                        "\xC2\xB3"
                        "002.bin"},
                       "LPT\xC2\xB3",
                       "设备名"},
        TargetNameCase{
            "DeviceWithABlankBeforeTheDot", {"a001.bin", "a002.bin"}, "\"CON .txt\"", "设备名"},
        TargetNameCase{"ConsoleInput", {"a001.bin", "a002.bin"}, "CONIN$", "设备名"},
        TargetNameCase{
            "ConsoleOutputWithAnExtension", {"a001.bin", "a002.bin"}, "conout$.log", "设备名"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
