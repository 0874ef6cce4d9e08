// Sets written by other splitters: their names, their checksum files, and joining them.
#include "engine/merge_run.h"
#include "engine/other_sets.h"
#include "recording_host.h"
#include "runtime/hasher.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace fs = std::filesystem;
using engine::Ending;
using testing_support::readFile;
using testing_support::TempFolder;
using testing_support::writeFile;

namespace {

std::string hashOf(runtime::HashKind kind, const std::string& bytes) {
    runtime::Hasher hash(kind);
    hash.update(bytes.data(), bytes.size());
    return hash.finish();
}

TEST(OtherPieceName, IsAStemAndTheNumberAfterItsLastDot) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"name.ext.001", "name.ext", 1},
        {"backup.7z.012", "backup.7z", 12},
        {"name.001", "name", 1},
        {"big.1000", "big", 1000},
        {"报告 第1版.doc.002", "报告 第1版.doc", 2},
        {"name.0001", "", 0},
        {"name.01", "", 0},
        {"name.000", "", 0},
        {".001", "", 0},
        {"name.ext", "", 0},
        {"name001.ext", "", 0}};
    for (const auto& [name, stem, number] : cases) {
        const auto read = engine::readOtherPieceName(name);
        EXPECT_EQ(read ? read->stem : "", stem) << name;
        EXPECT_EQ(read ? read->number : 0, number) << name;
        if (read) {
            EXPECT_EQ(engine::otherPieceName(read->stem, read->number), name);
        }
    }
}

TEST(CrcFile, ReadsItsThreeKeysOnLinesOfTheirOwnOrOnOne) {
    const std::tuple<const char*, const char*, std::int64_t, const char*> cases[] = {
        {"filename=photos.zip\r\nsize=1000\r\ncrc32=ABCDEF01\r\n", "photos.zip", 1000, "abcdef01"},
        {"filename=photos.zip\nsize=1000\ncrc32=abcdef01", "photos.zip", 1000, "abcdef01"},
        {"filename=my photos.zip size=7 crc32=0000ffff", "my photos.zip", 7, "0000ffff"},
        {"FILENAME=a.bin\r\nSIZE=5\r\nCRC32=12345678\r\n", "a.bin", 5, "12345678"},
        {"filename=my size=1.zip\r\nsize=5\r\ncrc32=12345678\r\n", "my size=1.zip", 5, "12345678"},
        {"filename=a.bin\r\nsize=5\r\n", "", 0, ""}, // no CRC
        {"filename=a.bin\r\nsize=five\r\ncrc32=12345678", "", 0, ""},
        {"filename=a.bin\r\nsize=5\r\ncrc32=1234567", "", 0, ""},
        {"filename=\r\nsize=5\r\ncrc32=12345678", "", 0, ""}};
    for (const auto& [text, filename, size, crc] : cases) {
        const auto read = engine::readCrcFile(text);
        EXPECT_EQ(read ? read->filename : "", filename) << text;
        EXPECT_EQ(read ? read->size : 0, size) << text;
        EXPECT_EQ(read ? read->crc32 : "", crc) << text;
    }
}

TEST(SfvFile, ReadsNameAndCrcPerLineAndSkipsComments) {
    const auto read = engine::readSfvFile("; made by some tool\r\nmy file.001 1234ABCD\r\n"
                                          "my file.002\t0000000f\r\n\r\n");
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 2u);
    EXPECT_EQ((*read)[0], (engine::ChecksumLine{"1234abcd", "my file.001"}));
    EXPECT_EQ((*read)[1], (engine::ChecksumLine{"0000000f", "my file.002"}));
    EXPECT_FALSE(engine::readSfvFile("my file.001\r\n"));
    EXPECT_FALSE(engine::readSfvFile("my file.001 12345\r\n"));
    EXPECT_FALSE(engine::readSfvFile("; only a comment\r\n"));
}

// A folder as another tool left it: pieces of `size` bytes of `content` named by `piece`,
// and what else `extra` puts there.
struct OtherSetCase {
    const char* name;
    const char* picked;
    std::function<void(const TempFolder&, const std::string& content)> make;
    Ending ending;
    const char* text;   // the start of the status or message
    const char* target; // where the content must be afterwards; empty when nowhere
};

void PrintTo(const OtherSetCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string content = testing_support::randomBytes(2500, 7);

void pieces(const TempFolder& folder, const std::string& stem, const std::string& bytes,
            std::size_t size = 1000) {
    for (std::size_t at = 0, k = 1; at < bytes.size(); at += size, ++k) {
        writeFile(folder.file(engine::otherPieceName(stem, static_cast<int>(k))),
                  bytes.substr(at, size));
    }
}

std::string crcFile(const std::string& name, const std::string& bytes) {
    return "filename=" + name + "\r\nsize=" + std::to_string(bytes.size()) +
           "\r\ncrc32=" + hashOf(runtime::HashKind::Crc32, bytes) + "\r\n";
}

// An .sfv file's lines for the pieces of 1000 bytes of name.ext.
std::string sfvOfPieces(const std::string& bytes) {
    std::string sfv;
    for (std::size_t at = 0, k = 1; at < bytes.size(); at += 1000, ++k) {
        sfv += engine::otherPieceName("name.ext", static_cast<int>(k)) + " " +
               hashOf(runtime::HashKind::Crc32, bytes.substr(at, 1000)) + "\r\n";
    }
    return sfv;
}

std::string damaged(std::string bytes, std::size_t at) {
    bytes[at] = static_cast<char>(bytes[at] ^ 0x40);
    return bytes;
}

class OtherSet : public ::testing::TestWithParam<OtherSetCase> {};

TEST_P(OtherSet, IsJoinedOnlyWhenItCanBeShownWhole) {
    const OtherSetCase& c = GetParam();
    TempFolder folder;
    c.make(folder, content);
    testing_support::RecordingHost host;
    const engine::RunOutcome outcome = engine::MergeIT(host, folder.file(c.picked));
    EXPECT_EQ(outcome.ending(), c.ending) << outcome.text();
    EXPECT_EQ(outcome.text().rfind(c.text, 0), 0u) << outcome.text();
    if (*c.target) {
        EXPECT_EQ(readFile(folder.file(c.target)), content);
    }
    for (const char* never : {"name.ext", "photos.zip", "photos"}) {
        if (std::string(never) != c.target) {
            EXPECT_FALSE(fs::exists(fs::u8path(folder.file(never)))) << never;
        }
    }
}

const char* const unchecked = engine::merge_text::succeeded;
const char* const checked = engine::merge_text::succeededAndChecked;

INSTANTIATE_TEST_SUITE_P(
    Table, OtherSet,
    ::testing::Values(OtherSetCase{"SevenZipStyleEndingShorter", "name.ext.001",
                                   [](auto& f, auto& c) { pieces(f, "name.ext", c); },
                                   Ending::Completed, unchecked, "name.ext"},
                      OtherSetCase{
                          "SevenZipStyleOfEqualPiecesCannotBeShownWhole", "name.ext.001",
                          [](auto& f, auto& c) { pieces(f, "name.ext", c.substr(0, 2000)); },
                          Ending::Refused, "错误提示信息:无法确认这组分割文件是否完整", ""},
                      OtherSetCase{"PieceMissingBeforeALaterOne", "name.ext.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "name.ext", c);
                                       fs::remove(fs::u8path(f.file("name.ext.002")));
                                   },
                                   Ending::Refused, "错误提示信息:缺少分割文件", ""},
                      OtherSetCase{
                          "PickedAtALaterPiece", "name.ext.002",
                          [](auto& f, auto& c) { pieces(f, "name.ext", c); }, Ending::Refused,
                          "错误提示信息:这是第2个分割文件。请选择第一个分割文件“name.ext.001”", ""},
                      OtherSetCase{"TotalCommanderWithItsCrcFile", "photos.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "photos", c);
                                       writeFile(f.file("photos.crc"), crcFile("photos.zip", c));
                                   },
                                   Ending::Completed, checked, "photos.zip"},
                      OtherSetCase{"TotalCommanderEqualPiecesProvenByTheCrcFile", "photos.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "photos", c, 1250);
                                       writeFile(f.file("photos.crc"), crcFile("photos.zip", c));
                                   },
                                   Ending::Completed, checked, "photos.zip"},
                      OtherSetCase{"TotalCommanderLastPieceMissing", "photos.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "photos", c);
                                       writeFile(f.file("photos.crc"), crcFile("photos.zip", c));
                                       fs::remove(fs::u8path(f.file("photos.003")));
                                   },
                                   Ending::Refused, "错误提示信息:分割文件不完整或已损坏", ""},
                      OtherSetCase{"TotalCommanderDamagedPiece", "photos.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "photos", damaged(c, 1500));
                                       writeFile(f.file("photos.crc"), crcFile("photos.zip", c));
                                   },
                                   Ending::Failed, "错误提示信息:合并结果与校验文件不符（CRC-32）",
                                   ""},
                      OtherSetCase{"CrcFileNamingAnotherFolder", "photos.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "photos", c);
                                       writeFile(f.file("photos.crc"),
                                                 crcFile("..\\photos.zip", c));
                                   },
                                   Ending::Refused, "错误提示信息:合并后的文件名不能带文件夹", ""},
                      OtherSetCase{"WithoutTheCrcFileTheStemIsTheName", "photos.001",
                                   [](auto& f, auto& c) { pieces(f, "photos", c); },
                                   Ending::Completed, unchecked, "photos"},
                      OtherSetCase{"SfvListingEveryPiece", "name.ext.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "name.ext", c);
                                       writeFile(f.file("name.ext.sfv"),
                                                 "; pieces\r\n" + sfvOfPieces(c));
                                   },
                                   Ending::Completed, checked, "name.ext"},
                      OtherSetCase{"SfvNamesTheDamagedPiece", "name.ext.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "name.ext", damaged(c, 1500));
                                       writeFile(f.file("check.sfv"), sfvOfPieces(c));
                                   },
                                   Ending::Failed, "错误提示信息:第2个分割文件已损坏", ""},
                      OtherSetCase{"Md5OfTheJoinedFileProvesEqualPieces", "name.ext.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "name.ext", c, 1250);
                                       writeFile(f.file("name.ext.md5"),
                                                 hashOf(runtime::HashKind::Md5, c) +
                                                     "  name.ext\n");
                                   },
                                   Ending::Completed, checked, "name.ext"},
                      OtherSetCase{"Sha256OfTheJoinedFileThatDiffers", "name.ext.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "name.ext", c);
                                       writeFile(f.file("SHA256SUMS.sha256"),
                                                 hashOf(runtime::HashKind::Sha256, damaged(c, 3)) +
                                                     " *name.ext\n");
                                   },
                                   Ending::Failed, "错误提示信息:合并结果与校验文件不符（SHA-256）",
                                   ""},
                      // Lists as editors, PowerShell or text-mode transfers leave them.
                      OtherSetCase{"SfvWithAByteOrderMark", "name.ext.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "name.ext", c);
                                       writeFile(f.file("name.ext.sfv"),
                                                 "\xEF\xBB\xBF" + sfvOfPieces(c));
                                   },
                                   Ending::Completed, checked, "name.ext"},
                      OtherSetCase{"CrcFileWithAByteOrderMark", "photos.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "photos", c, 1250);
                                       writeFile(f.file("photos.crc"),
                                                 "\xEF\xBB\xBF" + crcFile("photos.zip", c));
                                   },
                                   Ending::Completed, checked, "photos.zip"},
                      OtherSetCase{"Md5OfThePiecesWithCrLfAndAByteOrderMark", "name.ext.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "name.ext", c, 1250);
                                       writeFile(
                                           f.file("name.ext.md5"),
                                           "\xEF\xBB\xBF" +
                                               hashOf(runtime::HashKind::Md5, c.substr(0, 1250)) +
                                               "  name.ext.001\r\n" +
                                               hashOf(runtime::HashKind::Md5, c.substr(1250)) +
                                               "  name.ext.002\r\n");
                                   },
                                   Ending::Completed, checked, "name.ext"},
                      OtherSetCase{"Sha256OfThePiecesWithCrLf", "name.ext.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "name.ext", c, 1250);
                                       writeFile(
                                           f.file("name.ext.sha256"),
                                           hashOf(runtime::HashKind::Sha256, c.substr(0, 1250)) +
                                               " *name.ext.001\r\n" +
                                               hashOf(runtime::HashKind::Sha256,
                                                      damaged(c, 2000).substr(1250)) +
                                               " *name.ext.002\r\n");
                                   },
                                   Ending::Failed, "错误提示信息:第2个分割文件已损坏", ""},
                      // Total Commander on a Chinese Windows writes the name in code page 936.
                      OtherSetCase{"CrcFileInCodePage936GivesATextName", "photos.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "photos", c);
                                       writeFile(f.file("photos.crc"),
                                                 crcFile("\xB1\xA8\xB8\xE6.zip", c));
                                   },
                                   Ending::Completed, checked, "报告.zip"},
                      OtherSetCase{"UnreadableListOfTheSetStopsTheMerge", "name.ext.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "name.ext", c);
                                       writeFile(f.file("name.ext.sfv"), "not a list\r\n");
                                   },
                                   Ending::Refused, "错误提示信息:校验文件已损坏", ""},
                      OtherSetCase{"UnreadableListOfSomeoneElseIsPassedOver", "name.ext.001",
                                   [](auto& f, auto& c) {
                                       pieces(f, "name.ext", c);
                                       writeFile(f.file("notes.sfv"), "not a list\r\n");
                                   },
                                   Ending::Completed, unchecked, "name.ext"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
