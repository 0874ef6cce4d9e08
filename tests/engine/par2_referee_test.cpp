// Debian's par2 as the referee of the recovery files: it finds the program's sets whole, and
// rebuilds what was lost or damaged byte for byte.
#include "engine/par2_reader.h"
#include "engine/recovery_repair.h"
#include "engine/split_run.h"
#include "recording_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::RecordingHost;
using testing_support::TempFolder;
using testing_support::writeFile;

namespace {

// par2's exit status, its output out of the way; -1 when it could not be run.
int par2(const std::string& command, const fs::path& folder, const std::string& index) {
    const std::string line =
        "cd '" + folder.string() + "' && par2 " + command + " -q '" + index + "' > /dev/null 2>&1";
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool par2Installed() {
    return std::system("command -v par2 > /dev/null 2>&1") == 0;
}

struct RefereeCase {
    const char* name;
    const char* file;
    std::size_t length;
    std::int64_t pieceSize;
    int rebuild;
    std::vector<int> deleted, damaged; // piece numbers
};

void PrintTo(const RefereeCase& c, std::ostream* os) {
    *os << c.name;
}

class Par2Referee : public ::testing::TestWithParam<RefereeCase> {};

TEST_P(Par2Referee, VerifiesTheSetAndRepairsWhatWasLost) {
    if (!par2Installed()) {
        GTEST_SKIP() << "par2 is not installed";
    }
    const auto& c = GetParam();
    TempFolder folder;
    const std::string content = testing_support::randomBytes(c.length, 5);
    writeFile(folder.file(c.file), content);
    fs::create_directory(folder.path() / "out");
    RecordingHost host;
    ASSERT_TRUE(
        engine::SplitIT(host, folder.file(c.file), c.pieceSize, folder.prefix() + "out/", c.rebuild)
            .completed());
    const fs::path out = folder.path() / "out";
    const std::string index = std::string(c.file) + ".par2";
    EXPECT_EQ(par2("verify", out, index), 0) << "par2 does not find the set whole";

    const std::string stem = fs::path(c.file).stem().string();
    const std::string extension = fs::path(c.file).extension().string();
    const auto piece = [&](int k) {
        char number[8];
        std::snprintf(number, sizeof number, "%03d", k);
        return out / (stem + number + extension);
    };
    for (const int k : c.deleted) {
        fs::remove(piece(k));
    }
    for (const int k : c.damaged) {
        std::string bytes = readFile(piece(k).string());
        bytes[bytes.size() / 2] ^= 0x5A;
        writeFile(piece(k).string(), bytes);
    }
    EXPECT_NE(par2("verify", out, index), 0) << "par2 misses the damage";
    ASSERT_EQ(par2("repair", out, index), 0) << "par2 cannot repair the set";
    std::string joined;
    for (int k = 1; fs::exists(piece(k)); ++k) {
        joined += readFile(piece(k).string());
    }
    EXPECT_TRUE(joined == content) << "the repaired pieces differ from the source";
}

INSTANTIATE_TEST_SUITE_P(
    Table, Par2Referee,
    ::testing::Values(RefereeCase{"OnePieceLost", "report.doc", 50000, 10000, 1, {3}, {}},
                      RefereeCase{"TwoLostOfFive", "report.doc", 50000, 10000, 2, {1, 5}, {}},
                      RefereeCase{"OneDamaged", "data.bin", 40001, 8192, 1, {}, {2}},
                      RefereeCase{"ChineseName", "报告.doc", 30000, 7000, 2, {2}, {4}},
                      RefereeCase{"BlankInTheName", "my report.txt", 20000, 6000, 1, {4}, {}},
                      // The last piece's odd length: its slice and its last word are padded.
                      RefereeCase{"LastPieceOfOddLength", "odd.bin", 30001, 10000, 1, {4}, {}},
                      RefereeCase{"ThreeOfManyLost", "many.bin", 200000, 3000, 3, {1, 34, 67}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct OtherToolCase {
    const char* name;
    int sliceSize;      // par2's -s
    int recoverySlices; // par2's -c
    std::vector<int> deleted;
};

void PrintTo(const OtherToolCase& c, std::ostream* os) {
    *os << c.name;
}

class Par2MadeFiles : public ::testing::TestWithParam<OtherToolCase> {};

// Recovery files par2 made for the program's pieces, one slice a piece or several: the
// program's repair reads them and gives back the pieces.
TEST_P(Par2MadeFiles, RepairTheProgramsSet) {
    if (!par2Installed()) {
        GTEST_SKIP() << "par2 is not installed";
    }
    const auto& c = GetParam();
    TempFolder folder;
    const std::string content = testing_support::randomBytes(9001, 9);
    writeFile(folder.file("a.doc"), content);
    RecordingHost host;
    ASSERT_TRUE(engine::SplitIT(host, folder.file("a.doc"), 1000, "").completed());
    const std::string create =
        "create -s" + std::to_string(c.sliceSize) + " -c" + std::to_string(c.recoverySlices);
    const std::string line = "cd '" + folder.path().string() + "' && par2 " + create +
                             " -q a.doc.par2 a0*.doc > /dev/null 2>&1";
    ASSERT_EQ(std::system(line.c_str()), 0);
    for (const int k : c.deleted) {
        char name[16];
        std::snprintf(name, sizeof name, "a%03d.doc", k);
        fs::remove(folder.path() / name);
    }
    std::vector<std::string> paths;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        if (entry.path().extension() == ".par2") {
            paths.push_back(entry.path().string());
        }
    }
    auto read = engine::par2::readRecoveryFiles(engine::systemFiles(), paths, 64 << 20);
    ASSERT_TRUE(read.has_value());
    const auto result =
        engine::repairSet(engine::systemFiles(), folder.prefix(), *read, 0644, [] {});
    ASSERT_TRUE(result.rebuilt);
    std::string joined;
    for (int k = 1; k <= 10; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "a%03d.doc", k);
        joined += readFile(folder.file(name));
    }
    EXPECT_TRUE(joined == content);
}

INSTANTIATE_TEST_SUITE_P(Table, Par2MadeFiles,
                         ::testing::Values(OtherToolCase{"OneSliceAPiece", 1000, 2, {3, 10}},
                                           OtherToolCase{"TwoSlicesAPiece", 500, 2, {6}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
