#include "engine/merge_script.h"
#include "engine/merge_script_reader.h"

#include <gtest/gtest.h>

using engine::makePlan;

namespace {

// 说明 and 名 字 in code page 936, which the scripts are written in everywhere.
#define SHUO_MING "\xCB\xB5\xC3\xF7"
#define MING_ZI "\xC3\xFB \xD7\xD6"

struct ScriptCase {
    const char* source;
    std::int64_t length;
    std::int64_t size;
    const char* bytes;
};

void PrintTo(const ScriptCase& c, std::ostream* os) {
    *os << c.source << " " << c.length;
}

class MergeScriptBytes : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(MergeScriptBytes, AreTheSameOnEveryPlatformAndEndInCarriageReturnLineFeed) {
    const auto& c = GetParam();
    const auto plan =
        makePlan(c.source, c.size, "E:\\out\\", c.length, runtime::PathStyle::Windows);
    EXPECT_EQ(engine::mergeScriptBytes(engine::mergeScriptText(plan)), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MergeScriptBytes,
    ::testing::Values(
        ScriptCase{"D:\\in\\a.txt", 5, 3, "COPY/B a001.txt/B+a002.txt/B a.txt/B\r\n"},
        ScriptCase{"D:\\in\\a.txt", 10, 3,
                   "COPY/B a001.txt/B+a002.txt/B+a003.txt/B+a004.txt/B a.txt/B\r\n"},
        ScriptCase{"D:\\in\\x.tar.gz", 5, 3, "COPY/B x001.tar.gz/B+x002.tar.gz/B x.tar.gz/B\r\n"},
        ScriptCase{"D:\\in\\my file.doc", 5, 3,
                   "COPY/B \"my file001.doc\"/B+\"my file002.doc\"/B \"my file.doc\"/B\r\n"},
        ScriptCase{"D:\\in\\100%.txt", 5, 3,
                   "COPY/B 100%%001.txt/B+100%%002.txt/B 100%%.txt/B\r\n"},
        ScriptCase{"D:\\in\\Q+A.txt", 5, 3,
                   "COPY/B \"Q+A001.txt\"/B+\"Q+A002.txt\"/B \"Q+A.txt\"/B\r\n"},
        ScriptCase{"D:\\in\\a&b.txt", 5, 3,
                   "COPY/B \"a&b001.txt\"/B+\"a&b002.txt\"/B \"a&b.txt\"/B\r\n"},
        // Any other name: code page 936 after the line that makes any Windows read it so.
        ScriptCase{"D:\\in\\说明.txt", 5, 3,
                   "@CHCP 936 >NUL\r\nCOPY/B " SHUO_MING "001.txt/B+" SHUO_MING
                   "002.txt/B " SHUO_MING ".txt/B\r\n"},
        ScriptCase{"D:\\in\\名 字 100%.txt", 5, 3,
                   "@CHCP 936 >NUL\r\nCOPY/B \"" MING_ZI " 100%%001.txt\"/B+\"" MING_ZI
                   " 100%%002.txt\"/B \"" MING_ZI " 100%%.txt\"/B\r\n"},
        ScriptCase{"D:\\in\\café.txt", 5, 3,
                   "@CHCP 936 >NUL\r\nCOPY/B caf\xA8\xA6"
                   "001.txt/B+caf\xA8\xA6"
                   "002.txt/B caf\xA8\xA6.txt/B\r\n"},
        ScriptCase{"D:\\in\\año.txt", 5, 3,
                   "@CHCP 65001 >NUL\r\nCOPY/B a\xC3\xB1o001.txt/B+a\xC3\xB1o002.txt/B "
                   "a\xC3\xB1o.txt/B\r\n"},
        // Outside code page 936: UTF-8, with the interpreter switched to it first.
        ScriptCase{"D:\\in\\smile\xF0\x9F\x98\x80.txt", 5, 3,
                   "@CHCP 65001 >NUL\r\nCOPY/B smile\xF0\x9F\x98\x80"
                   "001.txt/B+smile\xF0\x9F\x98\x80"
                   "002.txt/B smile\xF0\x9F\x98\x80.txt/B\r\n"}));

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const auto end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

// cmd reads at most 8191 characters of a line: a set whose one line would be longer gets
// several, each within it, that the program's own reader joins back into the same command.
TEST(MergeScriptText, KeepsEveryLineWithinTheCommandInterpretersLimit) {
    // "COPY/B " + n x "a###.bin/B" joined by "+" + " a.bin/B" is 11n + 14 characters.
    for (int count : {2, 743, 744, 745, 1500, 32767}) {
        const auto plan =
            makePlan("D:\\in\\a.bin", 1, "", count + 0LL, runtime::PathStyle::Windows);
        ASSERT_EQ(plan.count, count);
        const std::string text = engine::mergeScriptText(plan);
        const auto lines = linesOf(text);
        std::size_t oneLine = 7 + 8;
        for (int k = 1; k <= count; ++k) {
            oneLine += plan.pieceBareName(k).size() + 2 + (k > 1 ? 1 : 0);
        }
        EXPECT_EQ(lines.size() == 1, oneLine <= engine::longestScriptLine) << count;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_LE(lines[i].size(), engine::longestScriptLine) << count;
            EXPECT_EQ(lines[i].rfind(i == 0 ? "COPY/B a001.bin/B+" : "COPY/B a.bin/B+", 0), 0u)
                << count << " line " << i;
        }
        EXPECT_EQ(lines.front().substr(lines.front().size() - 8), " a.bin/B") << count;
        const auto command = engine::readMergeScript(text);
        ASSERT_EQ(command.sources.size(), static_cast<std::size_t>(count));
        for (int k = 1; k <= count; ++k) {
            ASSERT_EQ(command.sources[static_cast<std::size_t>(k - 1)], plan.pieceBareName(k));
        }
        EXPECT_EQ(command.target, "a.bin");
    }
}

TEST(ScriptOperand, QuotesEveryCharacterThatSplitsAnOperand) {
    for (const char* special : {" ", "&", "^", ",", ";", "=", "(", ")", "+"}) {
        const std::string name = std::string("a") + special + "b.txt";
        EXPECT_EQ(engine::scriptOperand(name), "\"" + name + "\"") << special;
    }
    EXPECT_EQ(engine::scriptOperand("plain-name_1.txt"), "plain-name_1.txt");
    EXPECT_EQ(engine::scriptOperand("50% off.txt"), "\"50%% off.txt\"");
}

} // namespace
