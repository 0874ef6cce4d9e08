#include "engine/merge_script.h"

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
    EXPECT_EQ(engine::mergeScriptBytes(engine::mergeScriptLine(plan)), c.bytes);
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

TEST(ScriptOperand, QuotesEveryCharacterThatSplitsAnOperand) {
    for (const char* special : {" ", "&", "^", ",", ";", "=", "(", ")", "+"}) {
        const std::string name = std::string("a") + special + "b.txt";
        EXPECT_EQ(engine::scriptOperand(name), "\"" + name + "\"") << special;
    }
    EXPECT_EQ(engine::scriptOperand("plain-name_1.txt"), "plain-name_1.txt");
    EXPECT_EQ(engine::scriptOperand("50% off.txt"), "\"50%% off.txt\"");
}

} // namespace
