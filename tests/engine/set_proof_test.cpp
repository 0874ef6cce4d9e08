// A set proves itself: its checksum file, and what the split and the merge do to keep
// a set that cannot be proven from passing as whole.
#include "engine/merge_run.h"
#include "engine/split_run.h"
#include "failing_files.h"
#include "recording_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::RecordingHost;
using testing_support::TempFolder;
using testing_support::writeFile;
using Kind = engine::Ending;

namespace {

fs::path at(const TempFolder& folder, const std::string& name) {
    return fs::u8path(folder.file(name));
}

TEST(SetProof, TheChecksumFileListsEveryPieceThenTheWholeFile) {
    TempFolder folder;
    writeFile(folder.file("a.txt"), "0123456789");
    RecordingHost host;
    ASSERT_TRUE(engine::SplitIT(host, folder.file("a.txt"), 3, "").completed());
    std::string expected;
    const std::pair<const char*, const char*> lines[] = {{"012", "a001.txt"},
                                                         {"345", "a002.txt"},
                                                         {"678", "a003.txt"},
                                                         {"9", "a004.txt"},
                                                         {"0123456789", "a.txt"}};
    for (const auto& [bytes, name] : lines) {
        expected += testing_support::sha256Hex(bytes) + "  " + name + "\n";
    }
    EXPECT_EQ(readFile(folder.file("a.txt.sha256")), expected);
#ifndef _WIN32
    // The tool everyone has agrees, without this program.
    const std::string check =
        "cd '" + testing_support::utf8(folder.path()) + "' && sha256sum --quiet -c a.txt.sha256";
    EXPECT_EQ(std::system(check.c_str()), 0);
#endif
}

// Files of many read blocks, pieces that start and end inside a block, on a block's
// edge, or span several: each hash is that of its own bytes, and the merge agrees.
TEST(SetProof, EveryHashCoversExactlyItsOwnBytes) {
    const std::pair<std::size_t, std::int64_t> cases[] = {
        {5'000'123, 700'001}, {3 << 20, 256 << 10}, {2'621'441, 99'999}, {600'002, 600'000}};
    for (const auto& [length, size] : cases) {
        TempFolder folder;
        const std::string content = testing_support::randomBytes(length, 5);
        writeFile(folder.file("m.bin"), content);
        RecordingHost host;
        ASSERT_TRUE(engine::SplitIT(host, folder.file("m.bin"), size, "").completed());
        std::string expected;
        const std::size_t count = (length + size - 1) / size;
        for (std::size_t k = 1; k <= count; ++k) {
            const std::string name = "m" + std::string(k < 10 ? "00" : "0") + std::to_string(k);
            expected += testing_support::sha256Hex(readFile(folder.file(name + ".bin"))) + "  " +
                        name + ".bin\n";
        }
        expected += testing_support::sha256Hex(content) + "  m.bin\n";
        EXPECT_EQ(readFile(folder.file("m.bin.sha256")), expected) << length << "/" << size;
        fs::remove(at(folder, "m.bin"));
        EXPECT_EQ(engine::MergeIT(host, folder.file("m.BAT")).ending(), Kind::Completed) << length;
        EXPECT_EQ(host.lastStatus(), engine::merge_text::succeededAndChecked);
    }
}

struct DamageCase {
    const char* name;
    std::function<void(const TempFolder&)> damage;
    Kind outcome;
    const char* messagePart; // empty: merged and checked
};

void PrintTo(const DamageCase& c, std::ostream* os) {
    *os << c.name;
}

class DamagedSet : public ::testing::TestWithParam<DamageCase> {};

// s.bin, 10000 bytes in pieces of 3000: s001.bin .. s004.bin (1000 bytes).
TEST_P(DamagedSet, IsNamedBeforeTheTargetIsReplaced) {
    const auto& c = GetParam();
    TempFolder folder;
    const std::string content = testing_support::randomBytes(10000, 8);
    writeFile(folder.file("s.bin"), content);
    RecordingHost split;
    ASSERT_TRUE(engine::SplitIT(split, folder.file("s.bin"), 3000, "").completed());
    writeFile(folder.file("s.bin"), "old target");
    c.damage(folder);

    RecordingHost host;
    const auto outcome = engine::MergeIT(host, folder.file("s001.bin"));
    EXPECT_EQ(outcome.ending(), c.outcome) << outcome.text();
    if (std::string(c.messagePart).empty()) {
        EXPECT_EQ(host.lastStatus(), engine::merge_text::succeededAndChecked);
        EXPECT_EQ(readFile(folder.file("s.bin")), content);
        return;
    }
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(c.messagePart), std::string::npos) << host.messages[0];
    EXPECT_EQ(readFile(folder.file("s.bin")), "old target");
    EXPECT_FALSE(fs::exists(at(folder, "s.bin.part")));
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedSet,
    ::testing::Values(
        DamageCase{"Whole", [](auto&) {}, Kind::Completed, ""},
        DamageCase{"DamagedMiddlePiece",
                   [](auto& f) {
                       std::string bytes = readFile(f.file("s002.bin"));
                       bytes[1500] = static_cast<char>(bytes[1500] ^ 0x20);
                       writeFile(f.file("s002.bin"), bytes);
                   },
                   Kind::Failed, "第2个分割文件已损坏"},
        DamageCase{"TruncatedLastPiece",
                   [](auto& f) {
                       writeFile(f.file("s004.bin"), readFile(f.file("s004.bin")).substr(0, 500));
                   },
                   Kind::Failed, "第4个分割文件已损坏"},
        DamageCase{"WholeFileLineWrong",
                   [](auto& f) {
                       std::string sums = readFile(f.file("s.bin.sha256"));
                       const auto last = sums.rfind('\n', sums.size() - 2) + 1;
                       sums[last] = sums[last] == '0' ? '1' : '0';
                       writeFile(f.file("s.bin.sha256"), sums);
                   },
                   Kind::Failed, "合并结果与校验文件不符"},
        DamageCase{"LastPieceNotCopied", [](auto& f) { fs::remove(at(f, "s004.bin")); },
                   Kind::Refused, "校验文件共列出4个"},
        // Left by an older, longer split of the same name.
        DamageCase{"StaleHigherPiece",
                   [](auto& f) { writeFile(f.file("s005.bin"), readFile(f.file("s001.bin"))); },
                   Kind::Completed, ""},
        DamageCase{"NeitherScriptNorChecksumFile",
                   [](auto& f) {
                       fs::remove(at(f, "s.BAT"));
                       fs::remove(at(f, "s.bin.sha256"));
                       fs::remove(at(f, "s004.bin"));
                   },
                   Kind::Refused, "无法确认这组分割文件是否完整"}),
    [](const auto& info) { return std::string(info.param.name); });

// Another program appends to the source while it is being split.
class GrowingSource : public engine::FileOpener {
public:
    explicit GrowingSource(std::string source) : source_(std::move(source)) {}
    std::unique_ptr<runtime::File> open(const std::string& path, Mode mode,
                                        std::uint32_t permissions) override {
        if (mode == Mode::CreateIfAbsent && path.find("002") != std::string::npos) {
            auto grow = FileOpener::open(source_, Mode::WriteExisting);
            grow->truncate(grow->length());
            grow->writeAll("more", 4);
        }
        return FileOpener::open(path, mode, permissions);
    }

private:
    std::string source_;
};

TEST(SetProof, ASourceThatChangesDuringTheSplitGetsNoScriptOrChecksumFile) {
    TempFolder folder;
    writeFile(folder.file("g.bin"), testing_support::randomBytes(5000, 2));
    GrowingSource files(folder.file("g.bin"));
    RecordingHost host;
    EXPECT_EQ(engine::SplitIT(host, folder.file("g.bin"), 1000, "", files).ending(), Kind::Failed);
    ASSERT_EQ(host.messages.size(), 1u);
#ifndef _WIN32
    // Windows lets no other program write to a file the split is reading.
    EXPECT_NE(host.messages[0].find(engine::split_text::sourceChanged), std::string::npos);
#endif
    EXPECT_FALSE(fs::exists(at(folder, "g.BAT")));
    EXPECT_FALSE(fs::exists(at(folder, "g.bin.sha256")));
}

TEST(SetProof, AReSplitCutOffByAFullDiskLeavesNothingThatVouchesForTheMix) {
    TempFolder folder;
    writeFile(folder.file("r.bin"), testing_support::randomBytes(10000, 1));
    RecordingHost first;
    ASSERT_TRUE(engine::SplitIT(first, folder.file("r.bin"), 3000, "").completed());
    writeFile(folder.file("r.bin"), testing_support::randomBytes(10000, 2));
    testing_support::FailingFiles fullDisk("r003.bin", testing_support::FailingFiles::Fault::Write,
                                           300, runtime::ErrorNumber::DiskFull);
    RecordingHost second;
    EXPECT_EQ(engine::SplitIT(second, folder.file("r.bin"), 3000, "", fullDisk).ending(),
              Kind::Failed);
    EXPECT_FALSE(fs::exists(at(folder, "r.BAT")));
    EXPECT_FALSE(fs::exists(at(folder, "r.bin.sha256")));
    fs::remove(at(folder, "r.bin"));
    RecordingHost merge;
    EXPECT_EQ(engine::MergeIT(merge, folder.file("r001.bin")).ending(), Kind::Refused);
    EXPECT_FALSE(fs::exists(at(folder, "r.bin")));
}

#ifndef _WIN32
// Links and named pipes: what only POSIX file systems let a test make freely.
struct UnsafeNameCase {
    const char* name;
    const char* at; // the name taken by a link to a file outside, or by a pipe
    bool pipe;
    Kind outcome; // a piece is refused; a script or checksum file is replaced
};

void PrintTo(const UnsafeNameCase& c, std::ostream* os) {
    *os << c.name;
}

class UnsafeName : public ::testing::TestWithParam<UnsafeNameCase> {};

TEST_P(UnsafeName, IsNeverWrittenThroughAndNeverWaitedOn) {
    const auto& c = GetParam();
    TempFolder folder;
    TempFolder outside;
    writeFile(outside.file("precious"), "keep");
    fs::create_directory(at(folder, "out"));
    const std::string out = folder.file("out") + "/";
    if (c.pipe) {
        ASSERT_EQ(::mkfifo((out + c.at).c_str(), 0600), 0);
    } else {
        fs::create_symlink(at(outside, "precious"), fs::u8path(out + c.at));
    }
    writeFile(folder.file("a.txt"), "0123456789");
    RecordingHost host;
    const auto outcome = engine::SplitIT(host, folder.file("a.txt"), 3, out);
    EXPECT_EQ(outcome.ending(), c.outcome) << outcome.text();
    if (c.outcome != Kind::Completed) {
        EXPECT_NE(outcome.text().find("不是普通文件"), std::string::npos) << outcome.text();
        EXPECT_NE(outcome.text().find(out + c.at), std::string::npos) << outcome.text();
    }
    EXPECT_EQ(readFile(outside.file("precious")), "keep");
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnsafeName,
    ::testing::Values(UnsafeNameCase{"LinkAtAPiece", "a002.txt", false, Kind::Failed},
                      UnsafeNameCase{"PipeAtAPiece", "a003.txt", true, Kind::Failed},
                      UnsafeNameCase{"LinkAtTheScript", "a.BAT", false, Kind::Completed},
                      UnsafeNameCase{"PipeAtTheScript", "a.BAT", true, Kind::Completed},
                      UnsafeNameCase{"LinkAtTheChecksumFile", "a.txt.sha256", false,
                                     Kind::Completed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SetProof, TheMergeReadsNoLinkLeadingOutAndNoPipe) {
    for (const bool pipe : {false, true}) {
        TempFolder folder;
        TempFolder outside;
        // The same bytes as the piece it stands for, so only the rule on links refuses it.
        writeFile(outside.file("shadow"), "345");
        writeFile(folder.file("m.txt"), "0123456789");
        RecordingHost split;
        ASSERT_TRUE(engine::SplitIT(split, folder.file("m.txt"), 3, "").completed());
        fs::remove(at(folder, "m.txt"));
        fs::remove(at(folder, "m002.txt"));
        if (pipe) {
            ASSERT_EQ(::mkfifo(folder.file("m002.txt").c_str(), 0600), 0);
        } else {
            fs::create_symlink(at(outside, "shadow"), at(folder, "m002.txt"));
        }
        RecordingHost host;
        EXPECT_EQ(engine::MergeIT(host, folder.file("m.BAT")).ending(), Kind::Refused) << pipe;
        EXPECT_FALSE(fs::exists(at(folder, "m.txt")));
    }
}

TEST(SetProof, EveryFileOfASetIsAsPrivateAsItsSource) {
    TempFolder folder;
    writeFile(folder.file("p.txt"), "0123456789");
    fs::permissions(at(folder, "p.txt"), fs::perms::owner_read | fs::perms::owner_write);
    writeFile(folder.file("p002.txt"), "an older, public piece");
    RecordingHost host;
    ASSERT_TRUE(engine::SplitIT(host, folder.file("p.txt"), 3, "").completed());
    fs::rename(at(folder, "p.txt"), at(folder, "p.orig"));
    RecordingHost merge;
    ASSERT_TRUE(engine::MergeIT(merge, folder.file("p.BAT")).completed());
    for (const char* name :
         {"p001.txt", "p002.txt", "p004.txt", "p.BAT", "p.txt.sha256", "p.txt"}) {
        const auto mode = fs::status(at(folder, name)).permissions();
        EXPECT_EQ(mode & (fs::perms::group_all | fs::perms::others_all), fs::perms::none) << name;
    }
}
#endif

} // namespace
