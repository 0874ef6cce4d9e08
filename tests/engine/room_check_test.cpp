#include "engine/room_check.h"
#include "engine/split_run.h"
#include "failing_files.h"
#include "recording_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace {

using runtime::VolumeRoom;

constexpr std::int64_t unlimited = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t megabyte = 1 << 20;

struct RoomCase {
    const char* name;
    std::int64_t fileLength;
    std::int64_t pieceSize;
    VolumeRoom room;
    engine::Replaced replaced;
    const char* says; // the start of the refusal; empty when it fits
    std::vector<std::int64_t> recoveryFiles = {};
};

void PrintTo(const RoomCase& c, std::ostream* os) {
    *os << c.name;
}

class RoomCheck : public ::testing::TestWithParam<RoomCase> {};

TEST_P(RoomCheck, RefusesOnlyWhatTheDestinationCannotTake) {
    const RoomCase& c = GetParam();
    const engine::PiecePlan plan = engine::makePlan("/in/a.bin", c.pieceSize, "/out/", c.fileLength,
                                                    runtime::PathStyle::Posix);
    const auto shortfall = engine::roomShortfall(plan, c.room, c.replaced, c.recoveryFiles);
    EXPECT_EQ((shortfall ? shortfall->message : "").substr(0, std::string(c.says).size()), c.says);
    EXPECT_EQ(shortfall.has_value(), *c.says != '\0');
}

constexpr std::int64_t fatPiece = runtime::fatLargestFile;
const char* const noRoom = "目标磁盘剩余空间不足：需要20.01MB，只有8.00MB。";

INSTANTIATE_TEST_SUITE_P(
    Table, RoomCheck,
    ::testing::Values(
        RoomCase{"PlentyOfRoom", 20 * megabyte, megabyte, {}, {}, ""},
        RoomCase{"TwentyMegabytesOntoEight",
                 20 * megabyte,
                 megabyte,
                 {8 * megabyte, unlimited},
                 {},
                 noRoom},
        RoomCase{"ScriptAndChecksumCountToo",
                 20 * megabyte,
                 megabyte,
                 {20 * megabyte, unlimited},
                 {},
                 "目标磁盘剩余空间不足"},
        RoomCase{"ReplacedPiecesGiveTheirRoomBack",
                 20 * megabyte,
                 megabyte,
                 {8 * megabyte, unlimited},
                 {15 * megabyte, 15},
                 ""},
        RoomCase{"FatTakesItsLargestFile", 5'000'000'000, fatPiece, {unlimited, fatPiece}, {}, ""},
        RoomCase{"FatRefuses4GiB",
                 5'000'000'000,
                 fatPiece + 1,
                 {unlimited, fatPiece},
                 {},
                 engine::room_text::fatLimit},
        RoomCase{"FatLimitBeforeFreeSpace",
                 5'000'000'000,
                 fatPiece + 1,
                 {0, fatPiece},
                 {},
                 engine::room_text::fatLimit},
        RoomCase{
            "LargePiecesElsewhere", 9'000'000'000, 4'699'717'632, {unlimited, unlimited}, {}, ""},
        // 1536 pieces of 200 bytes take 1536 blocks of 4 KiB, not 300 KiB.
        RoomCase{"EachFileTakesWholeBlocks",
                 1536 * 200,
                 200,
                 {2 * megabyte, unlimited, 4096},
                 {},
                 "目标磁盘剩余空间不足：需要6.38MB，只有2.00MB"},
        RoomCase{"BlocksOfReplacedPiecesComeBack",
                 1536 * 200,
                 200,
                 {2 * megabyte, unlimited, 4096},
                 {1536 * 4096, 1536},
                 ""},
        RoomCase{"MoreFilesThanTheFileSystemCanStillHold",
                 100 * 200,
                 200,
                 {unlimited, unlimited, 1, 50},
                 {},
                 "目标磁盘能建的文件数已到上限：需要新建103个文件，只能再建50个"},
        // Room for the pieces but not for two recovery files of a piece each.
        RoomCase{"RecoveryFilesCountToo",
                 20 * megabyte,
                 megabyte,
                 {21 * megabyte, unlimited},
                 {},
                 "目标磁盘剩余空间不足：需要22.01MB",
                 {megabyte + 2000, megabyte + 2000}},
        RoomCase{"RecoveryFilesAreNewFiles",
                 100 * 200,
                 200,
                 {unlimited, unlimited, 1, 103},
                 {},
                 "目标磁盘能建的文件数已到上限：需要新建105个文件",
                 {300, 500}},
        RoomCase{"SizesThatDifferOnlyInBytesAreToldInBytes",
                 20 * megabyte,
                 megabyte,
                 {20 * megabyte + 5631, unlimited},
                 {},
                 "目标磁盘剩余空间不足：需要20977152字节，只有20977151字节"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RoomCheck, AMergeNeedsRoomForItsWholeResultBesideTheOldFile) {
    struct Case {
        const char* what;
        std::int64_t total;
        VolumeRoom room;
        const char* says;
    };
    for (const Case& c : {
             Case{"fits", 10 * megabyte, {10 * megabyte, unlimited, 4096}, ""},
             Case{"a byte short",
                  10 * megabyte + 1,
                  {10 * megabyte, unlimited, 4096},
                  "目标磁盘剩余空间不足：需要10489856字节，只有10485760字节"},
             Case{"past FAT's largest file",
                  fatPiece + 1,
                  {unlimited, fatPiece},
                  engine::room_text::fatLimitForMerge},
             Case{"no file left to make", 10, {unlimited, unlimited, 1, 0}, "目标磁盘能建的文件数"},
         }) {
        const auto shortfall = engine::mergeRoomShortfall(c.total, c.room);
        EXPECT_EQ((shortfall ? shortfall->message : "").substr(0, std::string(c.says).size()),
                  c.says)
            << c.what;
        EXPECT_EQ(shortfall.has_value(), *c.says != '\0') << c.what;
    }
}

TEST(RoomCheck, SizesReadInBytesThenMegabytes) {
    EXPECT_EQ(engine::byteSizeText(1023), "1023字节");
    EXPECT_EQ(engine::byteSizeText(megabyte), "1.00MB");
    EXPECT_EQ(engine::byteSizeText(4'699'717'632), "4482.00MB");
}

// The split asks before it writes: nothing of the set is there after a refusal. Old pieces
// give back their room only where the new set rewrites them, not past its end.
TEST(RoomCheck, ASplitThatCannotFitWritesNothing) {
    struct Case {
        const char* what;
        std::size_t oldPieces; // of 1000 bytes each, r001.bin ... beside the split
        std::int64_t available;
    };
    for (const Case& c : {Case{"nothing to replace", 0, 1000},
                          Case{"old pieces past the new set's end", 10, 1000}}) {
        testing_support::TempFolder folder;
        testing_support::writeFile(folder.file("r.bin"), std::string(3000, 'x'));
        for (std::size_t k = 1; k <= c.oldPieces; ++k) {
            testing_support::writeFile(
                folder.file("r" + std::string(k < 10 ? "00" : "0") + std::to_string(k) + ".bin"),
                std::string(1000, 'o'));
        }
        testing_support::FailingFiles files;
        files.roomGiven = VolumeRoom{c.available, unlimited};
        testing_support::RecordingHost host;
        const engine::RunOutcome outcome =
            engine::SplitIT(host, folder.file("r.bin"), 1000, "", files);
        EXPECT_EQ(outcome.ending(), engine::Ending::Refused) << c.what;
        EXPECT_NE(outcome.text().find("目标磁盘剩余空间不足：需要"), std::string::npos)
            << outcome.text();
        EXPECT_EQ(testing_support::entriesIn(folder.path()), 1 + c.oldPieces) << c.what;
        if (c.oldPieces > 0) {
            EXPECT_EQ(testing_support::readFile(folder.file("r001.bin")), std::string(1000, 'o'))
                << c.what;
        }
    }
}

} // namespace
