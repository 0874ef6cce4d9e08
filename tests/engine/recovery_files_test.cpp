// Recovery files: their names, when a split refuses them, and what a split leaves of them.
#include "engine/merge_run.h"
#include "engine/merge_text.h"
#include "engine/recovery_files.h"
#include "engine/recovery_repair.h"
#include "engine/split_run.h"
#include "recording_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using testing_support::RecordingHost;
using testing_support::TempFolder;
using testing_support::writeFile;

namespace {

// The index, then volumes of 1, 2, 4, … slices, their numbers all as wide.
TEST(RecoveryFiles, AreNamedByTheirExponents) {
    const struct {
        std::uint32_t slices;
        std::vector<std::string> names;
    } rows[] = {
        {1, {"a.doc.par2", "a.doc.vol00+01.par2"}},
        {3, {"a.doc.par2", "a.doc.vol00+01.par2", "a.doc.vol01+02.par2"}},
        {5, {"a.doc.par2", "a.doc.vol00+01.par2", "a.doc.vol01+02.par2", "a.doc.vol03+02.par2"}},
        {100,
         {"a.doc.par2", "a.doc.vol000+001.par2", "a.doc.vol001+002.par2", "a.doc.vol003+004.par2",
          "a.doc.vol007+008.par2", "a.doc.vol015+016.par2", "a.doc.vol031+032.par2",
          "a.doc.vol063+037.par2"}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> names;
        for (const auto& volume : engine::recoveryVolumes("a.doc", row.slices)) {
            names.push_back(volume.name);
        }
        EXPECT_EQ(names, row.names) << row.slices << " slices";
    }
}

// The room check counts the recovery files as large as they come out.
TEST(RecoveryFiles, AreAsLargeAsTheRoomCheckCountsThem) {
    TempFolder folder;
    writeFile(folder.file("报告 a.doc"), testing_support::randomBytes(5001, 6));
    RecordingHost host;
    ASSERT_TRUE(engine::SplitIT(host, folder.file("报告 a.doc"), 1000, "", 3).completed());
    engine::RecoveryRequest request{folder.prefix(), "报告 a.doc", {}, 1000, 3};
    for (int k = 1; k <= 6; ++k) {
        request.pieceNames.push_back("报告 a00" + std::to_string(k) + ".doc");
    }
    const auto sizes = engine::recoveryFileSizes(request);
    const auto volumes = engine::recoveryVolumes("报告 a.doc", 3);
    ASSERT_EQ(sizes.size(), volumes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        EXPECT_EQ(
            static_cast<std::int64_t>(fs::file_size(fs::u8path(folder.file(volumes[i].name)))),
            sizes[i])
            << volumes[i].name;
    }
}

// The index vouches for its set as the script and the checksum file do: a split that would
// write over one of its pieces (x1.txt's first piece is x.txt's 1001st) is refused.
TEST(RecoveryFiles, TheIndexVouchesForItsSet) {
    TempFolder folder;
    writeFile(folder.file("x.txt"), testing_support::randomBytes(1001 * 4, 8));
    RecordingHost host;
    ASSERT_TRUE(engine::SplitIT(host, folder.file("x.txt"), 4, "", 1).completed());
    fs::remove(fs::u8path(folder.file("x.BAT")));
    fs::remove(fs::u8path(folder.file("x.txt.sha256")));
    writeFile(folder.file("x1.txt"), "12345678");
    const auto outcome = engine::SplitIT(host, folder.file("x1.txt"), 4, "");
    EXPECT_EQ(outcome.ending(), engine::Ending::Refused);
    EXPECT_NE(outcome.text().find("x.txt.par2"), std::string::npos) << outcome.text();
    EXPECT_EQ(testing_support::readFile(folder.file("x1001.txt")).size(), 4u);
}

// What a name says of a recovery file: the index, a volume, or none; a target with ".vol"
// in it is still an index's.
TEST(RecoveryFiles, AreKnownByTheirNames) {
    const struct {
        const char* name;
        const char* target; // nullptr: no recovery file
        bool index;
    } rows[] = {{"a.doc.par2", "a.doc", true},
                {"a.doc.vol00+01.par2", "a.doc", false},
                {"a.doc.VOL063+037.PAR2", "a.doc", false},
                {"my.volume.doc.par2", "my.volume.doc", true},
                {"my.volume.doc.vol01+02.par2", "my.volume.doc", false},
                {"a.doc.vol+1.par2", "a.doc.vol+1", true},
                {"a.doc.vol01+x.par2", "a.doc.vol01+x", true},
                {"报告.doc.vol00+01.par2", "报告.doc", false},
                {".par2", nullptr, false},
                {"a.doc.par2x", nullptr, false},
                {"a.doc", nullptr, false}};
    for (const auto& row : rows) {
        const auto read = engine::recoveryNameOf(row.name);
        ASSERT_EQ(read.has_value(), row.target != nullptr) << row.name;
        if (read) {
            EXPECT_EQ(read->target, row.target) << row.name;
            EXPECT_EQ(read->index, row.index) << row.name;
        }
    }
}

struct RefusalCase {
    const char* name;
    int pieces;
    std::int64_t pieceSize;
    int rebuild;
    bool refused;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class RecoveryRequest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RecoveryRequest, IsRefusedWhenItCannotBeMet) {
    const auto& c = GetParam();
    engine::RecoveryRequest request{"", "a.doc", {}, c.pieceSize, c.rebuild};
    request.pieceNames.resize(static_cast<std::size_t>(c.pieces), "p");
    EXPECT_EQ(engine::recoveryRefusal(request).has_value(), c.refused);
}

INSTANTIATE_TEST_SUITE_P(Table, RecoveryRequest,
                         ::testing::Values(RefusalCase{"OneOfTwo", 2, 1 << 20, 1, false},
                                           RefusalCase{"AllPieces", 3, 1 << 20, 3, true},
                                           RefusalCase{"None", 3, 1 << 20, 0, true},
                                           RefusalCase{"WithinMemory", 100, 16 << 20, 3, false},
                                           RefusalCase{"PastMemory", 100, 16 << 20, 4, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A split without recovery files removes those an earlier split with them left: they would
// vouch for pieces that are no longer there.
TEST(RecoveryFiles, ASplitWithoutThemRemovesAnEarlierSplitsOnes) {
    TempFolder folder;
    writeFile(folder.file("a.doc"), testing_support::randomBytes(5000, 1));
    RecordingHost host;
    ASSERT_TRUE(engine::SplitIT(host, folder.file("a.doc"), 1000, "", 2).completed());
    EXPECT_TRUE(fs::exists(folder.path() / "a.doc.vol01+01.par2"));
    ASSERT_TRUE(engine::SplitIT(host, folder.file("a.doc"), 1000, "").completed());
    for (const char* name : {"a.doc.par2", "a.doc.vol00+01.par2", "a.doc.vol01+01.par2"}) {
        EXPECT_FALSE(fs::exists(folder.path() / name)) << name;
    }
    EXPECT_TRUE(fs::exists(folder.path() / "a.doc.sha256"));
}

// Stops a run once the recovery index is written, while its volumes are being made.
class StopAfterTheIndex : public RecordingHost {
public:
    explicit StopAfterTheIndex(fs::path index) : index_(std::move(index)) {}
    void pumpEvents() override {
        RecordingHost::pumpEvents();
        if (fs::exists(index_)) {
            throw engine::RunCancelled{};
        }
    }

private:
    fs::path index_;
};

TEST(RecoveryFiles, AStoppedSplitLeavesNone) {
    TempFolder folder;
    writeFile(folder.file("a.doc"), testing_support::randomBytes(5000, 2));
    StopAfterTheIndex host(folder.path() / "a.doc.par2");
    const auto outcome = engine::SplitIT(host, folder.file("a.doc"), 1000, "", 2);
    EXPECT_EQ(outcome.ending(), engine::Ending::Cancelled);
    EXPECT_GT(host.pumps, 0);
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        EXPECT_EQ(entry.path().filename(), "a.doc") << entry.path();
    }
}

struct RepairCase {
    const char* name;
    int rebuild;
    std::vector<int> deleted, damaged, shortened; // piece numbers
    bool rebuilt;
};

void PrintTo(const RepairCase& c, std::ostream* os) {
    *os << c.name;
}

class Repair : public ::testing::TestWithParam<RepairCase> {};

// The program's own recovery files give back the pieces byte for byte, or say how many are
// lost and how many they could rebuild.
TEST_P(Repair, RebuildsTheLostPiecesOrSaysHowManyItCould) {
    const auto& c = GetParam();
    TempFolder folder;
    const std::string content = testing_support::randomBytes(9001, 3);
    writeFile(folder.file("a.doc"), content);
    RecordingHost host;
    ASSERT_TRUE(engine::SplitIT(host, folder.file("a.doc"), 1000, "", c.rebuild).completed());
    const auto piece = [&](int k) { return folder.file("a00" + std::to_string(k) + ".doc"); };
    for (const int k : c.deleted) {
        fs::remove(fs::u8path(piece(k)));
    }
    for (const int k : c.damaged) {
        std::string bytes = testing_support::readFile(piece(k));
        bytes[7] ^= 1;
        writeFile(piece(k), bytes);
    }
    for (const int k : c.shortened) {
        writeFile(piece(k), testing_support::readFile(piece(k)).substr(0, 999));
    }
    std::vector<std::string> paths;
    for (const auto& volume : engine::recoveryVolumes("a.doc", c.rebuild)) {
        paths.push_back(folder.file(volume.name));
    }
    auto read = engine::par2::readRecoveryFiles(engine::systemFiles(), paths, 64 << 20);
    ASSERT_TRUE(read.has_value());
    const auto result =
        engine::repairSet(engine::systemFiles(), folder.prefix(), *read, 0644, [] {});
    EXPECT_EQ(result.lost.size(), c.deleted.size() + c.damaged.size() + c.shortened.size());
    EXPECT_EQ(result.rebuildable, c.rebuild);
    EXPECT_EQ(result.rebuilt, c.rebuilt);
    if (c.rebuilt) {
        std::string joined;
        for (int k = 1; k <= 9; ++k) {
            joined += testing_support::readFile(piece(k));
        }
        joined += testing_support::readFile(folder.file("a010.doc"));
        EXPECT_TRUE(joined == content);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Repair,
                         ::testing::Values(RepairCase{"OneDeleted", 1, {4}, {}, {}, true},
                                           RepairCase{"OneDamaged", 1, {}, {2}, {}, true},
                                           RepairCase{"OneShortened", 2, {}, {}, {9}, true},
                                           RepairCase{"ThreeOfThree", 3, {1, 5}, {8}, {}, true},
                                           RepairCase{"MoreThanItCan", 2, {1, 2, 3}, {}, {}, false},
                                           RepairCase{"NothingLost", 1, {}, {}, {}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct MergeCase {
    const char* name;
    int rebuild; // recovery files for this many pieces; 0 for none
    std::vector<int> deleted, damaged;
    const char* picked;
    std::string status;  // after a completed merge; empty when refused
    std::string message; // the refusal's, when refused
};

void PrintTo(const MergeCase& c, std::ostream* os) {
    *os << c.name;
}

class MergeWithRecovery : public ::testing::TestWithParam<MergeCase> {};

// The merge rebuilds lost and damaged pieces from the set's recovery files, joins and checks
// as usual and says which it rebuilt; with more lost than they can rebuild it says so.
TEST_P(MergeWithRecovery, RebuildsWhatItCanAndSaysWhat) {
    const auto& c = GetParam();
    TempFolder folder;
    const std::string content = testing_support::randomBytes(9001, 4);
    writeFile(folder.file("a.doc"), content);
    RecordingHost host;
    ASSERT_TRUE(engine::SplitIT(host, folder.file("a.doc"), 1000, "", c.rebuild).completed());
    fs::remove(fs::u8path(folder.file("a.doc")));
    const auto piece = [&](int k) {
        char name[16];
        std::snprintf(name, sizeof name, "a%03d.doc", k);
        return folder.file(name);
    };
    for (const int k : c.deleted) {
        fs::remove(fs::u8path(piece(k)));
    }
    for (const int k : c.damaged) {
        std::string bytes = testing_support::readFile(piece(k));
        bytes[100] ^= 1;
        writeFile(piece(k), bytes);
    }
    RecordingHost merging;
    const auto outcome = engine::MergeIT(merging, folder.file(c.picked));
    if (!c.status.empty()) {
        ASSERT_TRUE(outcome.completed()) << outcome.text();
        EXPECT_EQ(outcome.text(), c.status);
        EXPECT_TRUE(testing_support::readFile(folder.file("a.doc")) == content);
    } else {
        EXPECT_FALSE(outcome.completed());
        EXPECT_NE(outcome.text().find(c.message), std::string::npos) << outcome.text();
        EXPECT_FALSE(fs::exists(fs::u8path(folder.file("a.doc"))));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MergeWithRecovery,
    ::testing::Values(
        MergeCase{"ALostPiece",
                  1,
                  {5},
                  {},
                  "a.BAT",
                  engine::merge_text::succeededWithRebuilt({5}, true),
                  ""},
        MergeCase{"ADamagedPiece",
                  1,
                  {},
                  {3},
                  "a.BAT",
                  engine::merge_text::succeededWithRebuilt({3}, true),
                  ""},
        MergeCase{"TwoLostPickedByTheFirstPiece",
                  2,
                  {2, 10},
                  {},
                  "a001.doc",
                  engine::merge_text::succeededWithRebuilt({2, 10}, true),
                  ""},
        MergeCase{"MoreLostThanItCanRebuild",
                  2,
                  {1, 4, 7},
                  {},
                  "a.BAT",
                  "",
                  engine::merge_text::tooManyLost(3, 2)},
        MergeCase{"NoRecoveryFiles", 0, {5}, {}, "a.BAT", "", "a005.doc"},
        MergeCase{"NothingLost", 1, {}, {}, "a.BAT", engine::merge_text::succeededAndChecked, ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
