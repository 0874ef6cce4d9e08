// What the runs do when a disk fails them part way: tested with files that fail after
// so many bytes, inside the test process, on every platform.
#include "engine/merge_run.h"
#include "engine/run_report.h"
#include "engine/split_run.h"
#include "failing_files.h"
#include "recording_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <functional>

#include <filesystem>

namespace fs = std::filesystem;
using runtime::ErrorNumber;
using testing_support::FailingFiles;
using testing_support::readFile;
using testing_support::RecordingHost;
using testing_support::TempFolder;
using testing_support::writeFile;
using Fault = FailingFiles::Fault;
using Kind = engine::Ending;

namespace {

#ifdef __linux__
std::size_t openFileCount() {
    return testing_support::entriesIn("/proc/self/fd");
}
#endif

struct FailureCase {
    const char* name;
    bool merge;          // a merge of f.bin's pieces, else a split of f.bin
    const char* failing; // the failing file's name
    Fault fault;
    std::uint64_t bytes; // let through before the failure
    ErrorNumber error;
    Kind outcome;
    const char* messagePart; // with the failing file's path after it
    // As on a platform that cannot flush a whole file system, where each piece is flushed.
    bool eachPieceFlushed = false;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class RunFailure : public ::testing::TestWithParam<FailureCase> {};

// f.bin, 2000 bytes in pieces of 700: f001.bin, f002.bin, f003.bin and f.BAT.
TEST_P(RunFailure, IsReportedAndLeavesNoHalfWrittenResult) {
    const auto& c = GetParam();
    TempFolder folder;
    const std::string content = testing_support::randomBytes(2000, 17);
    writeFile(folder.file("f.bin"), content);
    if (c.merge) {
        RecordingHost split;
        ASSERT_TRUE(engine::SplitIT(split, folder.file("f.bin"), 700, "").completed());
        writeFile(folder.file("f.bin"), "old target");
    }
#ifdef __linux__
    const auto filesBefore = openFileCount();
#endif
    FailingFiles files(c.failing, c.fault, c.bytes, c.error);
    files.wholeFileSystem = !c.eachPieceFlushed;
    RecordingHost host;
    const engine::RunOutcome outcome =
        c.merge ? engine::MergeIT(host, folder.file("f.BAT"), files)
                : engine::SplitIT(host, folder.file("f.bin"), 700, "", files);

    EXPECT_EQ(outcome.ending(), c.outcome);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], outcome.text());
    const std::string failingPath = folder.file(c.failing);
    EXPECT_EQ(host.messages[0], std::string("错误提示信息:") + c.messagePart + "：" + failingPath);
    EXPECT_EQ(host.lastStatus().find("圆满完成"), std::string::npos);
    EXPECT_EQ(host.lastStatus().find("合并成功"), std::string::npos);
    if (c.merge) {
        // The old target stays, and no temporary file is left behind.
        EXPECT_EQ(readFile(folder.file("f.bin")), "old target");
        EXPECT_EQ(testing_support::entriesIn(folder.path()), 6u);
    } else {
        // Pieces written so far stay; no script vouches for an unfinished set.
        EXPECT_FALSE(fs::exists(fs::u8path(folder.file("f.BAT"))));
        EXPECT_FALSE(fs::exists(fs::u8path(folder.file("f.bin.sha256"))));
        EXPECT_EQ(readFile(folder.file("f.bin")), content);
    }
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        EXPECT_FALSE(runtime::isTemporaryName(testing_support::utf8(entry.path().filename())))
            << "left behind: " << entry.path();
    }
#ifdef __linux__
    EXPECT_LE(openFileCount(), filesBefore); // none of the run's files is left open
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Table, RunFailure,
    ::testing::Values(FailureCase{"SplitPieceWrite", false, "f002.bin", Fault::Write, 300,
                                  ErrorNumber::DiskFull, Kind::Failed, "磁盘已满"},
                      FailureCase{"SplitPieceWritePastTheSizeLimit", false, "f002.bin",
                                  Fault::Write, 300, ErrorNumber::FileTooLarge, Kind::Failed,
                                  "文件太大，超过了这个磁盘或系统允许的单个文件大小，请把分割后文件"
                                  "大小设小一些或换一个磁盘"},
                      FailureCase{"SplitPieceClose", false, "f002.bin", Fault::Close, 0,
                                  ErrorNumber::DeviceIo, Kind::Failed, "设备 I/O 错误"},
                      FailureCase{"SplitPieceFlush", false, "f002.bin", Fault::Flush, 0,
                                  ErrorNumber::DeviceIo, Kind::Failed, "设备 I/O 错误", true},
                      FailureCase{"SplitSourceRead", false, "f.bin", Fault::Read, 1500,
                                  ErrorNumber::DeviceIo, Kind::Failed, "设备 I/O 错误"},
                      FailureCase{"SplitScriptWrite", false, "f.BAT", Fault::Write, 10,
                                  ErrorNumber::DiskFull, Kind::Failed, "磁盘已满"},
                      FailureCase{"SplitScriptFlush", false, "f.BAT", Fault::Flush, 0,
                                  ErrorNumber::DeviceIo, Kind::Failed, "设备 I/O 错误"},
                      // The script is in place by then; it goes again, since nothing else vouches.
                      FailureCase{"SplitChecksumFileWrite", false, "f.bin.sha256", Fault::Write,
                                  100, ErrorNumber::DiskFull, Kind::Failed, "磁盘已满"},
                      FailureCase{"SplitChecksumFilePlace", false, "f.bin.sha256", Fault::Place, 0,
                                  ErrorNumber::PermissionDenied, Kind::Failed, "拒绝的权限"},
                      FailureCase{"SplitSourceCutShort", false, "f.bin", Fault::ShortRead, 1500,
                                  ErrorNumber::DeviceIo, Kind::Failed,
                                  engine::split_text::sourceChanged},
                      FailureCase{"MergePieceCutShort", true, "f002.bin", Fault::ShortRead, 300,
                                  ErrorNumber::DeviceIo, Kind::Failed,
                                  engine::merge_text::pieceChanged},
                      FailureCase{"MergePieceRead", true, "f003.bin", Fault::Read, 100,
                                  ErrorNumber::DeviceIo, Kind::Failed, "设备 I/O 错误"},
                      FailureCase{"MergeTargetWrite", true, "f.bin", Fault::Write, 1000,
                                  ErrorNumber::DiskFull, Kind::Failed, "磁盘已满"},
                      FailureCase{"MergeTargetFlush", true, "f.bin", Fault::Flush, 0,
                                  ErrorNumber::DeviceIo, Kind::Failed, "设备 I/O 错误"},
                      FailureCase{"MergeTargetPlace", true, "f.bin", Fault::Place, 0,
                                  ErrorNumber::PermissionDenied, Kind::Failed, "拒绝的权限"},
                      FailureCase{"MergeScriptRead", true, "f.BAT", Fault::Read, 0,
                                  ErrorNumber::DeviceIo, Kind::Refused, "设备 I/O 错误"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

// Another program changes one piece between the merge's decision and its opening.
class ChangingPiece : public engine::FileOpener {
public:
    explicit ChangingPiece(std::function<void(const std::string&)> change)
        : change_(std::move(change)) {}
    std::unique_ptr<runtime::File> open(const std::string& path, Mode mode,
                                        std::uint32_t permissions) override {
        if (mode == Mode::Read && path.size() > 7 && path.substr(path.size() - 7) == "002.bin" &&
            !changed_) {
            changed_ = true;
            change_(path);
        }
        return FileOpener::open(path, mode, permissions);
    }

private:
    std::function<void(const std::string&)> change_;
    bool changed_ = false;
};

TEST(RunFailure, APieceThatChangesDuringTheMergeStopsIt) {
    const std::vector<std::pair<const char*, std::function<void(const std::string&)>>> changes = {
        {"grown",
         [](const std::string& path) {
             auto grow = engine::FileOpener().open(path, engine::FileOpener::Mode::WriteExisting);
             grow->truncate(grow->length());
             grow->writeAll("x", 1);
         }},
        // Without a checksum file only the file's identity tells it from the one decided on.
        {"replaced by another file of its size",
         [](const std::string& path) {
             writeFile(path + ".new", std::string(readFile(path).size(), 'z'));
             std::filesystem::rename(path + ".new", path);
         }},
    };
    for (const auto& [what, change] : changes) {
        TempFolder folder;
        writeFile(folder.file("f.bin"), testing_support::randomBytes(2000, 3));
        RecordingHost split;
        ASSERT_TRUE(engine::SplitIT(split, folder.file("f.bin"), 700, "").completed());
        runtime::removeFile(folder.file("f.bin.sha256"));
        writeFile(folder.file("f.bin"), "old target");
        ChangingPiece files(change);
        RecordingHost host;
        EXPECT_EQ(engine::MergeIT(host, folder.file("f.BAT"), files).ending(), Kind::Failed)
            << what;
        ASSERT_EQ(host.messages.size(), 1u) << what;
        EXPECT_NE(host.messages[0].find(folder.file("f002.bin")), std::string::npos) << what;
        EXPECT_EQ(readFile(folder.file("f.bin")), "old target") << what;
    }
}

// Whatever a run throws ends in its error report, never in the window's event loop.
TEST(RunFailure, AnyOtherExceptionEndsTheRunAsFailed) {
    RecordingHost host;
    const auto outcome = engine::RunReport(host).guard(
        []() -> engine::RunOutcome { throw std::logic_error("unexpected"); });
    EXPECT_EQ(outcome.ending(), Kind::Failed);
    EXPECT_EQ(host.messages.size(), 1u);
}

} // namespace
