// What the program vouches for is what it wrote: every byte read once and hashed from the
// buffer it is written from, and flushed before a script, a checksum file or a merged
// file says it is there.
#include "engine/merge_run.h"
#include "engine/split_run.h"
#include "failing_files.h"
#include "recording_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;
using testing_support::FailingFiles;
using testing_support::readFile;
using testing_support::RecordingHost;
using testing_support::TempFolder;
using testing_support::writeFile;
using Fault = FailingFiles::Fault;
using Kind = engine::Ending;

namespace {

// f.bin of 600,000 bytes split into pieces of 250,000: f001.bin to f003.bin.
constexpr std::size_t length = 600'000;
constexpr std::int64_t pieceSize = 250'000;

// A stick that returns one wrong byte of the source: the pieces hold what was read, and
// the checksum file describes exactly those bytes, so the set checks out against itself.
TEST(OnePass, TheChecksumFileDescribesTheBytesWrittenNotAnotherReading) {
    TempFolder folder;
    writeFile(folder.file("f.bin"), testing_support::randomBytes(length, 11));
    FailingFiles flaky("f.bin", Fault::Flaky, 300'123, runtime::ErrorNumber::DeviceIo);
    RecordingHost host;
    ASSERT_TRUE(engine::SplitIT(host, folder.file("f.bin"), pieceSize, "", flaky).completed());
    EXPECT_EQ(flaky.readings("f.bin"), 1);
    const std::string sums = readFile(folder.file("f.bin.sha256"));
    for (const char* piece : {"f001.bin", "f002.bin", "f003.bin"}) {
        EXPECT_NE(
            sums.find(testing_support::sha256Hex(readFile(folder.file(piece))) + "  " + piece),
            std::string::npos)
            << piece;
    }
}

// A piece that reads wrong during the merge: the verdict is about the bytes written.
TEST(OnePass, AMergeThatReadsOneWrongByteSaysWhichPieceAndKeepsTheOldTarget) {
    TempFolder folder;
    writeFile(folder.file("f.bin"), testing_support::randomBytes(length, 12));
    RecordingHost split;
    ASSERT_TRUE(engine::SplitIT(split, folder.file("f.bin"), pieceSize, "").completed());
    writeFile(folder.file("f.bin"), "old target");
    FailingFiles flaky("f002.bin", Fault::Flaky, 1000, runtime::ErrorNumber::DeviceIo);
    RecordingHost host;
    EXPECT_EQ(engine::MergeIT(host, folder.file("f.BAT"), flaky).ending(), Kind::Failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("第2个分割文件已损坏：" + folder.file("f002.bin")),
              std::string::npos)
        << host.messages[0];
    EXPECT_EQ(readFile(folder.file("f.bin")), "old target");
    // Each piece is read once as it is joined (the first is opened once more, for its
    // permissions); only once the joined file has failed its check are the pieces read
    // again, up to the first that is damaged, to name it.
    for (const auto& [piece, readings] : {std::pair{"f002.bin", 2}, std::pair{"f003.bin", 1}}) {
        EXPECT_EQ(flaky.readings(piece), readings) << piece;
    }
}

// An empty piece in the middle of a hand-made set with its checksum file.
TEST(OnePass, AnEmptyPieceBetweenOthersHasTheHashOfNothing) {
    TempFolder folder;
    const std::string a = testing_support::randomBytes(300'000, 1);
    const std::string c = testing_support::randomBytes(5, 2);
    writeFile(folder.file("a.part"), a);
    writeFile(folder.file("b.part"), "");
    writeFile(folder.file("c.part"), c);
    writeFile(folder.file("join.BAT"), "COPY/B a.part+b.part+c.part whole.bin\r\n");
    writeFile(folder.file("whole.bin.sha256"),
              testing_support::sha256Hex(a) + "  a.part\n" + testing_support::sha256Hex("") +
                  "  b.part\n" + testing_support::sha256Hex(c) + "  c.part\n" +
                  testing_support::sha256Hex(a + c) + "  whole.bin\n");
    RecordingHost host;
    EXPECT_EQ(engine::MergeIT(host, folder.file("join.BAT")).ending(), Kind::Completed)
        << (host.messages.empty() ? "" : host.messages[0]);
    EXPECT_EQ(host.lastStatus(), engine::merge_text::succeededAndChecked);
    EXPECT_EQ(readFile(folder.file("whole.bin")), a + c);
}

struct OrderCase {
    const char* name;
    bool merge;
    bool wholeFileSystem; // else each piece is flushed on its own, as on Windows
    std::vector<std::string> calls;
};

void PrintTo(const OrderCase& c, std::ostream* os) {
    *os << c.name;
}

class FlushOrder : public ::testing::TestWithParam<OrderCase> {};

// Nothing vouches for a file before it is on the disk: the pieces before the script, the
// script before the checksum file, each whole before its name appears, its folder after.
TEST_P(FlushOrder, PutsEveryFileOnTheDiskBeforeAnythingVouchesForIt) {
    const auto& c = GetParam();
    TempFolder folder;
    writeFile(folder.file("f.bin"), testing_support::randomBytes(length, 13));
    if (c.merge) {
        RecordingHost split;
        ASSERT_TRUE(engine::SplitIT(split, folder.file("f.bin"), pieceSize, "").completed());
        fs::remove(fs::u8path(folder.file("f.bin")));
    }
    FailingFiles files;
    files.wholeFileSystem = c.wholeFileSystem;
    RecordingHost host;
    const auto outcome = c.merge
                             ? engine::MergeIT(host, folder.file("f.BAT"), files)
                             : engine::SplitIT(host, folder.file("f.bin"), pieceSize, "", files);
    ASSERT_TRUE(outcome.completed()) << outcome.text();
    std::vector<std::string> durable = files.calls();
    std::erase_if(durable, [](const std::string& call) { return call.rfind("read ", 0) == 0; });
    EXPECT_EQ(durable, c.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FlushOrder,
    ::testing::Values(OrderCase{"SplitWithOneFlushOfTheFileSystem",
                                false,
                                true,
                                {"flush file system", "temporary f.BAT", "flush f.BAT",
                                 "place f.BAT", "flush folder", "temporary f.bin.sha256",
                                 "flush f.bin.sha256", "place f.bin.sha256", "flush folder"}},
                      OrderCase{"SplitFlushingEachPiece",
                                false,
                                false,
                                {"flush f001.bin", "flush f002.bin", "flush f003.bin",
                                 "temporary f.BAT", "flush f.BAT", "place f.BAT", "flush folder",
                                 "temporary f.bin.sha256", "flush f.bin.sha256",
                                 "place f.bin.sha256", "flush folder"}},
                      OrderCase{"Merge",
                                true,
                                true,
                                {"temporary f.bin", "flush f.bin", "place f.bin", "flush folder"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The checksum file's temporary was once opened by cutting whatever had its name, so a
// hard link of the source there turned the source into checksum text.
TEST(OnePass, HardLinksOfTheSourceAtTheNamesTheSplitWritesLeaveItWhole) {
    TempFolder folder;
    const std::string content = testing_support::randomBytes(length, 14);
    writeFile(folder.file("f.bin"), content);
    std::error_code error;
    // (At the script's or checksum file's own name the split refuses: that is the source.)
    for (const char* name : {"f.bin.sha256.part", "f.BAT.part", "f.bin.part"}) {
        fs::create_hard_link(fs::u8path(folder.file("f.bin")), fs::u8path(folder.file(name)),
                             error);
        if (error) {
            GTEST_SKIP() << "no hard links here: " << error.message();
        }
    }
    RecordingHost host;
    EXPECT_TRUE(engine::SplitIT(host, folder.file("f.bin"), pieceSize, "").completed());
    EXPECT_EQ(readFile(folder.file("f.bin")), content);
    EXPECT_EQ(readFile(folder.file("f.bin.sha256.part")), content);
}

class KilledRunsTemporary : public ::testing::TestWithParam<bool> {};

// A run that was killed leaves its temporary file; the next run in that folder removes it,
// and nothing that merely looks like one.
TEST_P(KilledRunsTemporary, IsRemovedByTheNextRunThere) {
    const bool merge = GetParam();
    TempFolder folder;
    writeFile(folder.file("f.bin"), testing_support::randomBytes(length, 15));
    if (merge) {
        RecordingHost split;
        ASSERT_TRUE(engine::SplitIT(split, folder.file("f.bin"), pieceSize, "").completed());
    }
    std::string abandoned;
    runtime::File::createTemporary(folder.prefix(), folder.file("f.bin"), abandoned).close();
    writeFile(folder.file("f.bin.part"), "looks like one");
    RecordingHost host;
    const auto outcome = merge ? engine::MergeIT(host, folder.file("f.BAT"))
                               : engine::SplitIT(host, folder.file("f.bin"), pieceSize, "");
    EXPECT_TRUE(outcome.completed()) << outcome.text();
    EXPECT_FALSE(runtime::pathExists(abandoned));
    EXPECT_EQ(readFile(folder.file("f.bin.part")), "looks like one");
}

// A file of the user's that only looks like a temporary: picked as the source, or listed as
// a piece, it is the run's own input and stays.
TEST(TemporaryLookalike, PickedAsTheSourceOrListedAsAPieceStays) {
    TempFolder folder;
    const std::string lookalike = ".corvane-0123456789abcdef.tmp";
    const std::string content = testing_support::randomBytes(length, 16);
    writeFile(folder.file(lookalike), content);
    RecordingHost split;
    EXPECT_TRUE(engine::SplitIT(split, folder.file(lookalike), pieceSize, "").completed());
    EXPECT_EQ(readFile(folder.file(lookalike)), content);
    // Split elsewhere, beside an earlier joined copy of that name.
    std::filesystem::create_directory(folder.path() / "out");
    const std::string out = folder.file("out") + runtime::nativeSeparator();
    writeFile(out + lookalike, "joined earlier");
    RecordingHost elsewhere;
    EXPECT_TRUE(engine::SplitIT(elsewhere, folder.file(lookalike), pieceSize, out).completed());
    EXPECT_EQ(readFile(out + lookalike), "joined earlier");

    writeFile(folder.file("b.bin"), "tail");
    writeFile(folder.file("join.BAT"), "COPY/B " + lookalike + "/B+b.bin/B joined.bin/B\r\n");
    RecordingHost merge;
    const auto outcome = engine::MergeIT(merge, folder.file("join.BAT"));
    EXPECT_TRUE(outcome.completed()) << outcome.text();
    EXPECT_EQ(readFile(folder.file(lookalike)), content);
    EXPECT_EQ(readFile(folder.file("joined.bin")), content + "tail");
}

INSTANTIATE_TEST_SUITE_P(SplitAndMerge, KilledRunsTemporary, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Merge" : "Split"; });

} // namespace
