#include "engine/merge_script_reader.h"
#include "runtime/error.h"

#include <gtest/gtest.h>

using engine::MergeCommand;
using engine::readMergeScript;

namespace {

struct AcceptedCase {
    const char* name;
    const char* text;
    std::vector<std::string> sources;
    std::string target;
};

void PrintTo(const AcceptedCase& c, std::ostream* os) {
    *os << c.name;
}

class AcceptedScript : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedScript, GivesTheSourcesInOrderAndTheTarget) {
    const auto& c = GetParam();
    const MergeCommand command = readMergeScript(c.text);
    EXPECT_EQ(command.sources, c.sources);
    EXPECT_EQ(command.target, c.target);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AcceptedScript,
    ::testing::Values(
        AcceptedCase{"AsWritten",
                     "COPY/B a001.txt/B+a002.txt/B a.txt/B\r\n",
                     {"a001.txt", "a002.txt"},
                     "a.txt"},
        AcceptedCase{"LineFeedOnly",
                     "COPY/B a001.txt/B+a002.txt/B a.txt/B\n",
                     {"a001.txt", "a002.txt"},
                     "a.txt"},
        AcceptedCase{
            "NoLineEnd", "COPY/B a001.txt/B+a002.txt/B a.txt/B", {"a001.txt", "a002.txt"}, "a.txt"},
        AcceptedCase{"Quoted",
                     "COPY/B \"my file001.doc\"/B+\"my file002.doc\"/B \"my file.doc\"/B\r\n",
                     {"my file001.doc", "my file002.doc"},
                     "my file.doc"},
        AcceptedCase{"DoubledPercent",
                     "COPY/B 100%%001.txt/B+100%%002.txt/B 100%%.txt/B\r\n",
                     {"100%001.txt", "100%002.txt"},
                     "100%.txt"},
        AcceptedCase{"LowerCaseAndBlanks",
                     "  copy /b a001.txt + a002.txt /b  a.txt  \r\n\r\n",
                     {"a001.txt", "a002.txt"},
                     "a.txt"},
        AcceptedCase{"SwitchFirstOnly", "COPY /B a+b c", {"a", "b"}, "c"},
        AcceptedCase{"OneSource", "copy/b x.bin y.bin", {"x.bin"}, "y.bin"},
        AcceptedCase{"ChineseNames",
                     "COPY/B 说明001.txt/B+说明002.txt/B 说明.txt/B\r\n",
                     {"说明001.txt", "说明002.txt"},
                     "说明.txt"},
        AcceptedCase{"ByteOrderMark",
                     "\xEF\xBB\xBF"
                     "COPY/B a+b c",
                     {"a", "b"},
                     "c"},
        AcceptedCase{
            "QuotedSpecials", "COPY/B \"a&b;1.txt\"/B \"c=d.txt\"/B", {"a&b;1.txt"}, "c=d.txt"},
        AcceptedCase{"QuotedPlus",
                     "COPY/B \"Q+A001.txt\"/B+\"Q+A002.txt\"/B \"Q+A.txt\"/B",
                     {"Q+A001.txt", "Q+A002.txt"},
                     "Q+A.txt"},
        AcceptedCase{"DosEndOfFileMark", "COPY/B a+b c.txt\r\n\x1A", {"a", "b"}, "c.txt"},
        AcceptedCase{"DosEndOfFileMarkAfterName", "COPY/B a+b c.txt\x1A", {"a", "b"}, "c.txt"},
        // A long set's script: each next line appends to the target.
        AcceptedCase{
            "LinesThatAppendToTheTarget",
            "COPY/B a001/B+a002/B a/B\r\nCOPY/B a/B+a003/B+a004/B\r\nCOPY/B a/B+a005/B\r\n",
            {"a001", "a002", "a003", "a004", "a005"},
            "a"},
        AcceptedCase{"AppendingWithTheTargetAgain",
                     "COPY/B a+b t\ncopy /b t + c t\n",
                     {"a", "b", "c"},
                     "t"}));

struct RefusedCase {
    const char* name;
    std::string text;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.name;
}

// A short script that names one file more often than a set can have pieces.
const std::string tooManySources = [] {
    std::string text = "COPY/B a";
    for (int k = 2; k <= 32768; ++k) {
        text += "+a";
    }
    return text + " c";
}();

class RefusedScript : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedScript, IsNotCarriedOut) {
    try {
        readMergeScript(GetParam().text);
        FAIL() << "accepted " << GetParam().text;
    } catch (const runtime::Error& error) {
        EXPECT_EQ(error.number(), runtime::ErrorNumber::InvalidArgument);
        EXPECT_NE(error.description().find("不是可以执行的合并脚本"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedScript,
    ::testing::Values(
        RefusedCase{"Empty", ""}, RefusedCase{"BlankLines", "\r\n  \r\n"},
        RefusedCase{"OtherCommand", "DEL a001.txt"}, RefusedCase{"CopyLookalike", "COPYX a b"},
        RefusedCase{"TwoCommands", "COPY/B a+b c\r\nCOPY/B d+e f\r\n"},
        RefusedCase{"NextLineAppendsToAnotherFile", "COPY/B a+b c\r\nCOPY/B d+e\r\n"},
        RefusedCase{"NextLineCopiesTheTargetAway", "COPY/B a+b c\r\nCOPY/B c+e f\r\n"},
        RefusedCase{"NextLineAppendsNothing", "COPY/B a+b c\r\nCOPY/B c\r\n"},
        RefusedCase{"MorePiecesThanASetHas", tooManySources},
        RefusedCase{"ChainedCommand", "COPY/B a+b c & del a"},
        RefusedCase{"Pipe", "COPY/B a+b c | more"}, RefusedCase{"TextMode", "COPY/A a+b c"},
        RefusedCase{"UnknownSwitch", "COPY/B a+b c /Z"},
        RefusedCase{"NoDestination", "COPY/B a001.txt/B+a002.txt/B"},
        RefusedCase{"TwoDestinations", "COPY/B a+b c d"},
        RefusedCase{"JoinedDestination", "COPY a+b c+d"},
        RefusedCase{"DanglingPlus", "COPY/B a+ c"}, RefusedCase{"LeadingPlus", "COPY/B +a c"},
        RefusedCase{"FolderInSource", "COPY/B ..\\a+b c"},
        RefusedCase{"FolderInTarget", "COPY/B a+b ..\\c"},
        RefusedCase{"ParentAsTarget", "COPY/B a+b .."}, RefusedCase{"Drive", "COPY/B a+b C:c"},
        RefusedCase{"Wildcard", "COPY/B a*+b c"}, RefusedCase{"LonePercent", "COPY/B %1+b c"},
        RefusedCase{"UnquotedComma", "COPY/B a,b+c d"}, RefusedCase{"OpenQuote", "COPY/B \"a+b c"},
        RefusedCase{"EmptyQuotes", "COPY/B \"\"+b c"},
        RefusedCase{"ControlCharacter", "COPY/B a\x01+b c"},
        RefusedCase{"EndOfFileMarkInside", "COPY/B a\x1A+b c"},
        RefusedCase{"NulInTarget", {"COPY/B a+b c\0d", 14}}));

} // namespace
