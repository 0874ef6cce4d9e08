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
    std::int64_t reclaimed;
    const char* says; // the start of the refusal; empty when it fits
};

void PrintTo(const RoomCase& c, std::ostream* os) {
    *os << c.name;
}

class RoomCheck : public ::testing::TestWithParam<RoomCase> {};

TEST_P(RoomCheck, RefusesOnlyWhatTheDestinationCannotTake) {
    const RoomCase& c = GetParam();
    const engine::PiecePlan plan = engine::makePlan("/in/a.bin", c.pieceSize, "/out/", c.fileLength,
                                                    runtime::PathStyle::Posix);
    const auto shortfall = engine::roomShortfall(plan, c.room, c.reclaimed);
    EXPECT_EQ(shortfall.value_or("").substr(0, std::string(c.says).size()), c.says);
    EXPECT_EQ(shortfall.has_value(), *c.says != '\0');
}

constexpr std::int64_t fatPiece = runtime::fatLargestFile;
const char* const noRoom = "目标磁盘剩余空间不足：需要20.01MB，只有8.00MB。";

INSTANTIATE_TEST_SUITE_P(
    Table, RoomCheck,
    ::testing::Values(
        RoomCase{"PlentyOfRoom", 20 * megabyte, megabyte, {}, 0, ""},
        RoomCase{"TwentyMegabytesOntoEight",
                 20 * megabyte,
                 megabyte,
                 {8 * megabyte, unlimited},
                 0,
                 noRoom},
        RoomCase{"ScriptAndChecksumCountToo",
                 20 * megabyte,
                 megabyte,
                 {20 * megabyte, unlimited},
                 0,
                 "目标磁盘剩余空间不足"},
        RoomCase{"ReplacedPiecesGiveTheirRoomBack",
                 20 * megabyte,
                 megabyte,
                 {8 * megabyte, unlimited},
                 15 * megabyte,
                 ""},
        RoomCase{"FatTakesItsLargestFile", 5'000'000'000, fatPiece, {unlimited, fatPiece}, 0, ""},
        RoomCase{"FatRefuses4GiB",
                 5'000'000'000,
                 fatPiece + 1,
                 {unlimited, fatPiece},
                 0,
                 engine::room_text::fatLimit},
        RoomCase{"FatLimitBeforeFreeSpace",
                 5'000'000'000,
                 fatPiece + 1,
                 {0, fatPiece},
                 0,
                 engine::room_text::fatLimit},
        RoomCase{
            "LargePiecesElsewhere", 9'000'000'000, 4'699'717'632, {unlimited, unlimited}, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RoomCheck, SizesReadInBytesThenMegabytes) {
    EXPECT_EQ(engine::byteSizeText(1023), "1023字节");
    EXPECT_EQ(engine::byteSizeText(megabyte), "1.00MB");
    EXPECT_EQ(engine::byteSizeText(4'699'717'632), "4482.00MB");
}

// The split asks before it writes: nothing of the set is there after a refusal.
TEST(RoomCheck, ASplitThatCannotFitWritesNothing) {
    testing_support::TempFolder folder;
    testing_support::writeFile(folder.file("a.bin"), std::string(30000, 'x'));
    testing_support::FailingFiles files;
    files.roomGiven = VolumeRoom{1000, unlimited};
    testing_support::RecordingHost host;
    const engine::RunOutcome outcome =
        engine::SplitIT(host, folder.file("a.bin"), 10000, "", files);
    EXPECT_EQ(outcome.ending(), engine::Ending::Refused);
    EXPECT_NE(outcome.text().find("目标磁盘剩余空间不足：需要"), std::string::npos)
        << outcome.text();
    EXPECT_EQ(testing_support::entriesIn(folder.path()), 1u);
}

} // namespace
