#include "engine/merge_decision.h"

#include <gtest/gtest.h>

#include <map>

using engine::decideMerge;
using engine::ListedFile;
using engine::MergePlan;

namespace {

struct DecisionCase {
    const char* name;
    std::vector<ListedFile> listing;
    std::map<std::string, std::string> scripts;
    const char* picked;
    // Either the pieces and target of the plan ...
    std::vector<std::string> pieces;
    std::string target;
    // ... or a part of the refusal's description and the file it names.
    std::string refusalPart = {};
    std::string refusalName = {};
    bool checked = false; // the plan carries the checksum file's hashes
};

void PrintTo(const DecisionCase& c, std::ostream* os) {
    *os << c.name;
}

ListedFile file(const std::string& name, std::int64_t size) {
    return {name, size, true, std::nullopt};
}

// s.txt of 10 bytes split into 3-byte pieces, with or without its script.
std::vector<ListedFile> setOfS(bool withScript = true) {
    std::vector<ListedFile> files = {file("s001.txt", 3), file("s002.txt", 3), file("s003.txt", 3),
                                     file("s004.txt", 1)};
    if (withScript) {
        files.push_back(file("s.BAT", 60));
    }
    return files;
}

std::vector<ListedFile> with(std::vector<ListedFile> files, const std::vector<ListedFile>& more) {
    files.insert(files.end(), more.begin(), more.end());
    return files;
}

std::vector<ListedFile> resized(std::vector<ListedFile> files, const std::string& name,
                                std::int64_t size) {
    for (auto& f : files) {
        if (f.name == name) {
            f.size = size;
        }
    }
    return files;
}

std::vector<ListedFile> without(std::vector<ListedFile> files, const std::string& name) {
    std::erase_if(files, [&](const ListedFile& f) { return f.name == name; });
    return files;
}

const std::map<std::string, std::string> scriptOfS = {
    {"s.BAT", "COPY/B s001.txt/B+s002.txt/B+s003.txt/B+s004.txt/B s.txt/B\r\n"}};
const std::vector<std::string> piecesOfS = {"s001.txt", "s002.txt", "s003.txt", "s004.txt"};

// The checksum file of s.txt's set, for the pieces named.
std::string sumsOf(const std::vector<std::string>& pieces, const std::string& target = "s.txt") {
    std::string text;
    for (const auto& name : pieces) {
        text += std::string(64, 'a') + "  " + name + "\n";
    }
    return text + std::string(64, 'b') + "  " + target + "\n";
}

std::string withCrLf(const std::string& text) {
    std::string crlf;
    for (const char c : text) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    return crlf;
}

std::map<std::string, std::string> withSums(std::map<std::string, std::string> files,
                                            const std::string& name, const std::string& text) {
    files[name] = text;
    return files;
}

// A file whose reading fails.
const std::string unreadable = "<unreadable>";

ListedFile linkLeadingOut(const std::string& name, std::int64_t size) {
    return {name, size, true, std::nullopt, true};
}

const std::string allUpperHex = [] {
    std::string text;
    for (const auto& name : piecesOfS) {
        text += std::string(64, 'A') + "  " + name + "\n";
    }
    return text + std::string(64, 'B') + "  s.txt\n";
}();

// s.txt's script, joining into another target.
std::map<std::string, std::string> scriptOfSInto(const std::string& target) {
    return {{"s.BAT", "COPY/B s001.txt/B+s002.txt/B+s003.txt/B+s004.txt/B " + target + "/B\r\n"}};
}

// x.txt in 1011 pieces, so that x1001.txt onwards also read as pieces of a set "x1".
std::vector<std::string> piecesOfX() {
    std::vector<std::string> names;
    for (int k = 1; k <= 1011; ++k) {
        names.push_back("x" +
                        std::string(k < 10    ? "00"
                                    : k < 100 ? "0"
                                              : "") +
                        std::to_string(k) + ".txt");
    }
    return names;
}
std::vector<ListedFile> setOfX(std::vector<ListedFile> more = {}) {
    std::vector<ListedFile> files;
    for (const auto& name : piecesOfX()) {
        files.push_back(file(name, name == "x1011.txt" ? 5 : 10));
    }
    return with(files, more);
}
std::string scriptOfX() {
    std::string line = "COPY/B ";
    for (const auto& name : piecesOfX()) {
        line += name + (name == "x1011.txt" ? "/B" : "/B+");
    }
    return line + " x.txt/B\r\n";
}

class MergeDecision : public ::testing::TestWithParam<DecisionCase> {};

TEST_P(MergeDecision, JoinsWhatTheSetHoldsOrSaysWhyNot) {
    const auto& c = GetParam();
    const auto decision = decideMerge(c.picked, c.listing, [&](const std::string& name) {
        const auto found = c.scripts.find(name);
        if (found == c.scripts.end()) {
            ADD_FAILURE() << "read " << name;
            return std::string();
        }
        if (found->second == unreadable) {
            throw runtime::Error(runtime::ErrorNumber::PermissionDenied, name);
        }
        return found->second;
    });
    if (c.refusalPart.empty()) {
        ASSERT_TRUE(decision.ok()) << decision.problem().message;
        const auto& plan = decision.value();
        std::vector<std::string> names;
        for (const auto& piece : plan.pieces) {
            names.push_back(piece.name);
        }
        EXPECT_EQ(names, c.pieces);
        EXPECT_EQ(plan.target, c.target);
        EXPECT_EQ(plan.checksums.has_value(), c.checked);
    } else {
        ASSERT_TRUE(!decision.ok());
        const auto& refusal = decision.problem();
        EXPECT_NE(refusal.message.find(c.refusalPart), std::string::npos) << refusal.message;
        EXPECT_EQ(refusal.name, c.refusalName);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MergeDecision,
    ::testing::Values(
        DecisionCase{"Script", setOfS(), scriptOfS, "s.BAT", piecesOfS, "s.txt"},
        // Piece 1001 of x.txt also reads as piece 1 of a set "x1": what lists it decides.
        DecisionCase{"PieceAThousandAndOneListedByAChecksumFile",
                     setOfX({file("x.txt.sha256", 100000)}),
                     {{"x.txt.sha256", sumsOf(piecesOfX(), "x.txt")}},
                     "x1001.txt",
                     {},
                     {},
                     "这是第1001个分割文件。请选择第一个分割文件“x001.txt”",
                     "x1001.txt"},
        DecisionCase{"LaterPieceAdviceNamesTheScriptThatListsIt",
                     setOfX({file("x.BAT", 100000)}),
                     {{"x.BAT", scriptOfX()}},
                     "x1002.txt",
                     {},
                     {},
                     "第1002个分割文件。请选择第一个分割文件“x001.txt”或合并脚本“x.BAT”",
                     "x1002.txt"},
        DecisionCase{"TwoReadingsTheFolderBearsOutAreNotGuessed",
                     setOfX(),
                     {},
                     "x1001.txt",
                     {},
                     {},
                     "两种读法：“x1.txt”的第1个分割文件，或“x.txt”的第1001个分割文件",
                     "x1001.txt"},
        DecisionCase{"FirstPieceOfTheSetThatListsIt",
                     setOfX({file("x.BAT", 100000)}),
                     {{"x.BAT", scriptOfX()}},
                     "x001.txt",
                     piecesOfX(),
                     "x.txt"},
        DecisionCase{"TwoVouchersListOnePieceForDifferentSets",
                     with(setOfS(), {file("t.BAT", 40)}),
                     withSums(scriptOfS, "t.BAT", "COPY/B s001.txt/B+s002.txt/B t.txt/B\r\n"),
                     "s001.txt",
                     {},
                     {},
                     "无法确定它属于哪一组",
                     "s001.txt"},
        DecisionCase{"ScriptWhosePieceAnotherSetLists",
                     with(setOfS(), {file("t.BAT", 40)}),
                     withSums(scriptOfS, "t.BAT", "COPY/B s001.txt/B+s002.txt/B t.txt/B\r\n"),
                     "t.BAT",
                     {},
                     {},
                     "“s.BAT”把它列为“s.txt”的分割文件",
                     "s001.txt"},
        DecisionCase{"FirstPieceWithItsScript", setOfS(), scriptOfS, "s001.txt", piecesOfS,
                     "s.txt"},
        DecisionCase{"FirstPieceWithoutScript", setOfS(false), {}, "s001.txt", piecesOfS, "s.txt"},
        DecisionCase{"ScriptUnderAnotherName",
                     with(setOfS(false), {file("join.cmd", 40)}),
                     {{"join.cmd", "copy /b s001.txt+s002.txt t.txt"}},
                     "join.cmd",
                     {"s001.txt", "s002.txt"},
                     "t.txt"},
        // A base that ends in digits: photo2.jpg in pieces of 5.
        DecisionCase{"BaseEndingInDigits",
                     {file("photo2001.jpg", 5), file("photo2002.jpg", 5), file("photo2003.jpg", 2),
                      file("photo2.BAT", 70)},
                     {{"photo2.BAT", "COPY/B photo2001.jpg/B+photo2002.jpg/B+photo2003.jpg/B "
                                     "photo2.jpg/B\r\n"}},
                     "photo2001.jpg",
                     {"photo2001.jpg", "photo2002.jpg", "photo2003.jpg"},
                     "photo2.jpg"},
        DecisionCase{"BaseEndingInDigitsShortMiddle",
                     {file("photo2001.jpg", 5), file("photo2002.jpg", 4), file("photo2003.jpg", 2),
                      file("photo2.BAT", 70)},
                     {{"photo2.BAT", "COPY/B photo2001.jpg/B+photo2002.jpg/B+photo2003.jpg/B "
                                     "photo2.jpg/B\r\n"}},
                     "photo2.BAT",
                     {},
                     {},
                     "大小与第一个不同",
                     "photo2002.jpg"},
        DecisionCase{"BaseEndingInDigitsWithoutScript",
                     {file("IMG_1234001.jpg", 5), file("IMG_1234002.jpg", 1)},
                     {},
                     "IMG_1234001.jpg",
                     {"IMG_1234001.jpg", "IMG_1234002.jpg"},
                     "IMG_1234.jpg"},
        // report.pdf was split after report.doc, so report.BAT lists the .pdf pieces.
        DecisionCase{"ScriptOfAnotherSourceOfTheSameBase",
                     {file("report001.doc", 4), file("report002.doc", 2), file("report001.pdf", 4),
                      file("report002.pdf", 4), file("report003.pdf", 1), file("report.BAT", 80)},
                     {{"report.BAT",
                       "COPY/B report001.pdf/B+report002.pdf/B+report003.pdf/B report.pdf/B\r\n"}},
                     "report001.doc",
                     {"report001.doc", "report002.doc"},
                     "report.doc"},
        DecisionCase{
            "LaterPiece", setOfS(), scriptOfS, "s002.txt", {}, {}, "第2个分割文件", "s002.txt"},
        DecisionCase{"LaterPieceSaysWhatToPick",
                     setOfS(),
                     scriptOfS,
                     "s003.txt",
                     {},
                     {},
                     "“s001.txt”或合并脚本“s.BAT”",
                     "s003.txt"},
        DecisionCase{"TheJoinedFile",
                     with(setOfS(), {file("s.txt", 10)}),
                     scriptOfS,
                     "s.txt",
                     {},
                     {},
                     "这是合并后的文件",
                     "s.txt"},
        DecisionCase{"NoScriptAtAll",
                     with(setOfS(), {file("notes.txt", 5)}),
                     withSums(scriptOfS, "notes.txt", "hello"),
                     "notes.txt",
                     {},
                     {},
                     "不是合并脚本",
                     "notes.txt"},
        DecisionCase{"TooLargeToBeAScript",
                     {file("movie.avi", 700 << 20)},
                     {},
                     "movie.avi",
                     {},
                     {},
                     "不是合并脚本",
                     "movie.avi"},
        DecisionCase{
            "Missing", setOfS(), scriptOfS, "gone.BAT", {}, {}, "找不到要合并的文件", "gone.BAT"},
        DecisionCase{"MissingPiece",
                     without(setOfS(), "s002.txt"),
                     scriptOfS,
                     "s.BAT",
                     {},
                     {},
                     "脚本共列出4个",
                     "s002.txt"},
        DecisionCase{"PieceIsAFolder",
                     with(without(setOfS(), "s002.txt"), {{"s002.txt", 0, false, std::nullopt}}),
                     scriptOfS,
                     "s.BAT",
                     {},
                     {},
                     "不是普通文件",
                     "s002.txt"},
        DecisionCase{"ShortMiddlePiece",
                     resized(setOfS(), "s002.txt", 2),
                     scriptOfS,
                     "s.BAT",
                     {},
                     {},
                     "大小与第一个不同",
                     "s002.txt"},
        DecisionCase{"LongLastPiece",
                     resized(setOfS(), "s004.txt", 4),
                     scriptOfS,
                     "s.BAT",
                     {},
                     {},
                     "最后一个分割文件的大小不对",
                     "s004.txt"},
        DecisionCase{"EmptyLastPiece",
                     resized(setOfS(), "s004.txt", 0),
                     scriptOfS,
                     "s.BAT",
                     {},
                     {},
                     "最后一个分割文件的大小不对",
                     "s004.txt"},
        DecisionCase{"TargetIsASource",
                     setOfS(),
                     {{"s.BAT", "COPY/B s001.txt/B+s002.txt/B s002.txt/B\r\n"}},
                     "s.BAT",
                     {},
                     {},
                     "目标文件同时也是要合并的文件",
                     "s002.txt"},
        DecisionCase{"TargetIsALinkOfASource",
                     {{"s001.txt", 3, true, runtime::FileIdentity{1, 7}},
                      {"s002.txt", 3, true, runtime::FileIdentity{1, 8}},
                      {"s.txt", 3, true, runtime::FileIdentity{1, 7}},
                      file("s.BAT", 40)},
                     {{"s.BAT", "COPY/B s001.txt/B+s002.txt/B s.txt/B\r\n"}},
                     "s.BAT",
                     {},
                     {},
                     "目标文件同时也是要合并的文件",
                     "s001.txt"},
        DecisionCase{"NotAScriptNamedAsOne",
                     setOfS(),
                     {{"s.BAT", "echo hello\r\n"}},
                     "s.BAT",
                     {},
                     {},
                     "不是可以执行的合并脚本",
                     "s.BAT"},
        DecisionCase{"GapWithoutScript",
                     without(setOfS(false), "s003.txt"),
                     {},
                     "s001.txt",
                     {},
                     {},
                     "其后还有s004.txt",
                     "s003.txt"},
        // A gap is found however far ahead the next piece lies.
        DecisionCase{"FarGapWithoutScript",
                     {file("s001.txt", 3), file("s002.txt", 3), file("s060.txt", 1)},
                     {},
                     "s001.txt",
                     {},
                     {},
                     "其后还有s060.txt",
                     "s003.txt"},
        // With a checksum file, it is the list.
        DecisionCase{"ChecksumFileIsTheList",
                     with(setOfS(false), {file("s.txt.sha256", 300)}),
                     {{"s.txt.sha256", sumsOf(piecesOfS)}},
                     "s001.txt",
                     piecesOfS,
                     "s.txt",
                     {},
                     {},
                     true},
        DecisionCase{"ChecksumFileWithAByteOrderMark",
                     with(setOfS(false), {file("s.txt.sha256", 300)}),
                     {{"s.txt.sha256", "\xEF\xBB\xBF" + sumsOf(piecesOfS)}},
                     "s001.txt",
                     piecesOfS,
                     "s.txt",
                     {},
                     {},
                     true},
        DecisionCase{"ChecksumFileWithCrLf",
                     with(setOfS(), {file("s.txt.sha256", 300)}),
                     withSums(scriptOfS, "s.txt.sha256", withCrLf(sumsOf(piecesOfS))),
                     "s.BAT",
                     piecesOfS,
                     "s.txt",
                     {},
                     {},
                     true},
        DecisionCase{"ChecksumFileFoundByItsPieces",
                     with(setOfS(), {file("mine.sha256", 300)}),
                     withSums(scriptOfS, "mine.sha256", sumsOf(piecesOfS)),
                     "s.BAT",
                     piecesOfS,
                     "s.txt",
                     {},
                     {},
                     true},
        DecisionCase{"StaleHigherPieceOfALongerSplit",
                     with(setOfS(false), {file("s005.txt", 3), file("s.txt.sha256", 300)}),
                     {{"s.txt.sha256", sumsOf(piecesOfS)}},
                     "s001.txt",
                     piecesOfS,
                     "s.txt",
                     {},
                     {},
                     true},
        DecisionCase{"MissingLastPieceWithChecksumFile",
                     with(without(setOfS(false), "s004.txt"), {file("s.txt.sha256", 300)}),
                     {{"s.txt.sha256", sumsOf(piecesOfS)}},
                     "s001.txt",
                     {},
                     {},
                     "校验文件共列出4个",
                     "s004.txt"},
        DecisionCase{"ScriptAndChecksumFileDisagree",
                     with(setOfS(), {file("s.txt.sha256", 300)}),
                     withSums(scriptOfS, "s.txt.sha256", sumsOf({"s001.txt", "s002.txt"})),
                     "s.BAT",
                     {},
                     {},
                     "不一致",
                     "s.txt.sha256"},
        DecisionCase{"BrokenChecksumFile",
                     with(setOfS(), {file("s.txt.sha256", 5)}),
                     withSums(scriptOfS, "s.txt.sha256", "hello"),
                     "s.BAT",
                     {},
                     {},
                     "校验文件已损坏",
                     "s.txt.sha256"},
        DecisionCase{"ChecksumFileNamingAFileElsewhere",
                     with(setOfS(), {file("s.txt.sha256", 300)}),
                     withSums(scriptOfS, "s.txt.sha256", sumsOf(piecesOfS, "../s.txt")),
                     "s.BAT",
                     {},
                     {},
                     "校验文件已损坏",
                     "s.txt.sha256"},
        // Neither script nor checksum file: complete only when it ends in a shorter piece.
        DecisionCase{"NothingVouchesForAFullLastPiece",
                     {file("s001.txt", 3), file("s002.txt", 3), file("s003.txt", 3)},
                     {},
                     "s001.txt",
                     {},
                     {},
                     "无法确认这组分割文件是否完整",
                     "s003.txt"},
        // The target is the script's: a checksum file cannot send the bytes elsewhere.
        DecisionCase{"ChecksumFileRedirectsTheTarget",
                     with(setOfS(), {file("s.txt.sha256", 300)}),
                     withSums(scriptOfS, "s.txt.sha256", sumsOf(piecesOfS, "victim.txt")),
                     "s.BAT",
                     {},
                     {},
                     "“victim.txt”",
                     "s.txt.sha256"},
        DecisionCase{"OtherChecksumFileRedirectsTheTargetOntoTheScript",
                     with(setOfS(), {file("mine.sha256", 300)}),
                     withSums(scriptOfS, "mine.sha256", sumsOf(piecesOfS, "s.BAT")),
                     "s.BAT",
                     {},
                     {},
                     "两者不一致",
                     "mine.sha256"},
        DecisionCase{"ChecksumFileRedirectsTheTargetWithoutAScript",
                     with(setOfS(false), {file("s.txt.sha256", 300)}),
                     {{"s.txt.sha256", sumsOf(piecesOfS, "s.txt.sha256")}},
                     "s001.txt",
                     {},
                     {},
                     "两者不一致",
                     "s.txt.sha256"},
        DecisionCase{"ScriptTargetIsTheScript",
                     setOfS(),
                     scriptOfSInto("s.BAT"),
                     "s.BAT",
                     {},
                     {},
                     "合并脚本或校验文件本身",
                     "s.BAT"},
        DecisionCase{
            "ScriptTargetIsTheChecksumFile",
            with(setOfS(), {file("mine.sha256", 300)}),
            withSums(scriptOfSInto("mine.sha256"), "mine.sha256", sumsOf(piecesOfS, "mine.sha256")),
            "s.BAT",
            {},
            {},
            "合并脚本或校验文件本身",
            "mine.sha256"},
        DecisionCase{"ScriptTargetIsALinkOfTheScript",
                     {file("s001.txt", 3),
                      file("s002.txt", 1),
                      {"s.BAT", 40, true, runtime::FileIdentity{1, 9}},
                      {"s.txt", 40, true, runtime::FileIdentity{1, 9}}},
                     {{"s.BAT", "COPY/B s001.txt/B+s002.txt/B s.txt/B\r\n"}},
                     "s.BAT",
                     {},
                     {},
                     "合并脚本或校验文件本身",
                     "s.BAT"},
        DecisionCase{"ScriptTargetLooksLikeATemporary",
                     setOfS(),
                     scriptOfSInto(".corvane-0123456789abcdef.tmp"),
                     "s.BAT",
                     {},
                     {},
                     "临时文件同名",
                     ".corvane-0123456789abcdef.tmp"},
        DecisionCase{"ScriptTargetIsAFolder",
                     with(setOfS(), {{"out", 0, false, std::nullopt}}),
                     scriptOfSInto("out"),
                     "s.BAT",
                     {},
                     {},
                     "已被文件夹",
                     "out"},
        DecisionCase{"OneLineChecksumFile",
                     with(setOfS(), {file("s.txt.sha256", 80)}),
                     withSums(scriptOfS, "s.txt.sha256", std::string(64, 'a') + "  s.txt\n"),
                     "s.BAT",
                     {},
                     {},
                     "校验文件已损坏",
                     "s.txt.sha256"},
        // PowerShell's Get-FileHash writes upper-case digits.
        DecisionCase{"UpperCaseDigitsInTheChecksumFile",
                     with(setOfS(), {file("s.txt.sha256", 300)}),
                     withSums(scriptOfS, "s.txt.sha256", allUpperHex),
                     "s.BAT",
                     piecesOfS,
                     "s.txt",
                     {},
                     {},
                     true},
        DecisionCase{"UnreadableChecksumFileOfSomeoneElse",
                     with(setOfS(), {file("other.sha256", 300)}),
                     withSums(scriptOfS, "other.sha256", unreadable), "s.BAT", piecesOfS, "s.txt"},
        DecisionCase{"UnreadableChecksumFileOfTheSet",
                     with(setOfS(), {file("s.txt.sha256", 300)}),
                     withSums(scriptOfS, "s.txt.sha256", unreadable),
                     "s.BAT",
                     {},
                     {},
                     "拒绝的权限",
                     ""},
        // The command interpreter finds a script in any case of ".BAT"; so does the merge.
        DecisionCase{"FirstPieceWithALowerCaseScript",
                     {file("s001.txt", 3), file("s002.txt", 3), file("s.bat", 40)},
                     {{"s.bat", "COPY/B s001.txt/B+s002.txt/B s.txt/B\r\n"}},
                     "s001.txt",
                     {"s001.txt", "s002.txt"},
                     "s.txt"},
        DecisionCase{"ScriptLinkedFromElsewhere",
                     with(setOfS(false), {linkLeadingOut("s.BAT", 60)}),
                     {},
                     "s.BAT",
                     {},
                     {},
                     "链接",
                     "s.BAT"},
        // Not read at all: the set's own pieces are joined as they are numbered.
        DecisionCase{"ScriptBesideTheFirstPieceLinkedFromElsewhere",
                     with(setOfS(false), {linkLeadingOut("s.BAT", 60)}),
                     {},
                     "s001.txt",
                     piecesOfS,
                     "s.txt"},
        DecisionCase{"ChecksumFileLinkedFromElsewhere",
                     with(setOfS(), {linkLeadingOut("s.txt.sha256", 300)}),
                     scriptOfS,
                     "s.BAT",
                     {},
                     {},
                     "链接",
                     "s.txt.sha256"},
        DecisionCase{"PickedAPipe",
                     with(setOfS(false), {{"s.BAT", 0, false, std::nullopt}}),
                     {},
                     "s.BAT",
                     {},
                     {},
                     "不是普通文件",
                     "s.BAT"},
        // x12002.bin reads as piece 2 of x12.bin and as piece 2002 of x1.bin: the hint
        // names the set whose first piece is there.
        DecisionCase{"LaterPieceHintNamesTheSetThatIsThere",
                     {file("x12002.bin", 5), file("x1001.bin", 5)},
                     {},
                     "x12002.bin",
                     {},
                     {},
                     "第2002个分割文件。请选择第一个分割文件“x1001.bin”",
                     "x12002.bin"},
        DecisionCase{
            "PieceLinkedFromElsewhere",
            with(without(setOfS(), "s002.txt"), {{"s002.txt", 3, true, std::nullopt, true}}),
            scriptOfS,
            "s.BAT",
            {},
            {},
            "链接",
            "s002.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
