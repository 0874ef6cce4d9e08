#include "engine/merge_run.h"
#include "engine/piece_plan.h"
#include "engine/split_run.h"
#include "failing_files.h"
#include "recording_host.h"
#include "runtime/error.h"
#include "runtime/file.h"
#include "runtime/folder_lock.h"
#include "runtime/number_text.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using engine::SplitIT;
using Kind = engine::Ending;
using testing_support::entriesIn;
using testing_support::readFile;
using testing_support::RecordingHost;
using testing_support::TempFolder;
using testing_support::writeFile;

namespace {

#ifdef __linux__
std::size_t openFileCount() {
    return entriesIn("/proc/self/fd");
}
#endif

// The system's files, telling when one of a given bare name has been opened.
class WatchedOpens : public engine::FileOpener {
public:
    explicit WatchedOpens(std::string name) : name_(std::move(name)) {}
    std::unique_ptr<runtime::File> open(const std::string& path, Mode mode,
                                        std::uint32_t permissions) override {
        auto file = FileOpener::open(path, mode, permissions);
        if (testing_support::bareName(path) == name_) {
            const std::lock_guard lock(mutex_);
            opened_ = true;
            changed_.notify_all();
        }
        return file;
    }
    // False when it was not opened within seconds: a hang fails, it does not wait on.
    bool waitUntilOpened() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [this] { return opened_; });
    }

private:
    std::string name_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool opened_ = false;
};

class SplitRun : public ::testing::Test {
protected:
    TempFolder folder;
    RecordingHost host;
    std::string out;

    void SetUp() override {
        fs::create_directory(folder.path() / "out");
        out = folder.file("out") + runtime::nativeSeparator();
    }
};

TEST_F(SplitRun, WritesEveryPieceTheScriptAndTheStatusTexts) {
    const std::string source = folder.file("a.txt");
    const std::string content = "0123456789";
    writeFile(source, content);

    EXPECT_TRUE(SplitIT(host, source, 3, out).completed());

    EXPECT_EQ(readFile(out + "a001.txt"), "012");
    EXPECT_EQ(readFile(out + "a002.txt"), "345");
    EXPECT_EQ(readFile(out + "a003.txt"), "678");
    EXPECT_EQ(readFile(out + "a004.txt"), "9");
    EXPECT_EQ(readFile(out + "a.BAT"),
              "COPY/B a001.txt/B+a002.txt/B+a003.txt/B+a004.txt/B a.txt/B\r\n");
    EXPECT_EQ(entriesIn(folder.path() / "out"), 6u); // and a.txt.sha256
    const std::vector<std::string> expected = {
        "正在处理：" + out + "a001.txt  25.00%", "正在处理：" + out + "a002.txt  50.00%",
        "正在处理：" + out + "a003.txt  75.00%", "正在处理：" + out + "a004.txt  100.00%",
        "文件分割操作已经圆满完成!共生成4个分割文件!"};
    EXPECT_EQ(host.statuses, expected);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_GE(host.pumps, 4);
    EXPECT_EQ(readFile(source), content);
}

TEST_F(SplitRun, ShowsThirdsAsTwoDecimalPercentages) {
    writeFile(folder.file("b.bin"), "1234567");
    SplitIT(host, folder.file("b.bin"), 3, out);
    ASSERT_EQ(host.statuses.size(), 4u);
    EXPECT_EQ(host.statuses[0], "正在处理：" + out + "b001.bin  33.33%");
    EXPECT_EQ(host.statuses[1], "正在处理：" + out + "b002.bin  66.67%");
}

TEST_F(SplitRun, AnEmptyDestinationWritesBesideTheSource) {
    writeFile(folder.file("c.dat"), "abcde");
    EXPECT_TRUE(SplitIT(host, folder.file("c.dat"), 2, "").completed());
    EXPECT_EQ(readFile(folder.file("c003.dat")), "e");
    EXPECT_EQ(readFile(folder.file("c.BAT")),
              "COPY/B c001.dat/B+c002.dat/B+c003.dat/B c.dat/B\r\n");
}

struct RefusalCase {
    const char* name;
    std::size_t length;
    std::int64_t size;
    const char* message;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class SplitRefusal : public SplitRun, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SplitRefusal, ReturnsFalseAndWritesNothing) {
    const auto& c = GetParam();
    writeFile(folder.file("s.txt"), std::string(c.length, 'x'));
    EXPECT_EQ(SplitIT(host, folder.file("s.txt"), c.size, out).ending(), Kind::Refused);
    EXPECT_EQ(host.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(entriesIn(folder.path() / "out"), 0u);
    EXPECT_TRUE(host.statuses.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitRefusal,
    ::testing::Values(
        RefusalCase{"SizePlusOne", 4, 3, "被分割文件大小小于分割后文件大小,请重新设置!"},
        RefusalCase{"SmallerThanSize", 2, 3, "被分割文件大小小于分割后文件大小,请重新设置!"},
        RefusalCase{"Empty", 0, 3, engine::split_text::sourceEmpty},
        RefusalCase{"SizeZero", 10, 0, "分割后文件大小必须大于0,请重新设置!"},
        RefusalCase{"SizeNegative", 10, -5, "分割后文件大小必须大于0,请重新设置!"},
        RefusalCase{"MoreThan32767Pieces", 100000, 1,
                    "分割后的文件超过32767个,请把分割后文件大小设大一些!"}),
    [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32
// Names Windows file systems cannot hold, so the table runs where they can be made.
TEST_F(SplitRun, RefusesANameTheScriptCannotCarryBeforeWritingAnything) {
    const std::pair<const char*, const char*> cases[] = {
        {"two\nlines.txt", "换行符"}, {"say \"hi\".txt", "双引号"}, {"bell\x07.txt", "U+0007"},
        {"what?.txt", "“?”"},         {"a|b.txt", "“|”"},           {"tab\tname.txt", "制表符"}};
    for (const auto& [name, shown] : cases) {
        writeFile(folder.file(name), "0123456789");
        RecordingHost run;
        EXPECT_EQ(SplitIT(run, folder.file(name), 3, out).ending(), Kind::Refused) << name;
        ASSERT_EQ(run.messages.size(), 1u) << name;
        EXPECT_NE(run.messages[0].find(shown), std::string::npos) << run.messages[0];
    }
    EXPECT_EQ(entriesIn(folder.path() / "out"), 0u);
}
#endif

// A 252-byte name makes pieces of 255 bytes up to piece 999 and one too long at 1000:
// refused before the first piece, not after 999 of them.
TEST_F(SplitRun, ANameTooLongForALaterPieceIsRefusedBeforeAnyIsWritten) {
    const std::string name = std::string(250, 'n') + ".b";
    writeFile(folder.file(name), std::string(1000, 'x'));
    RecordingHost run;
    EXPECT_EQ(SplitIT(run, folder.file(name), 1, out).ending(), Kind::Refused);
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_NE(run.messages[0].find("文件名太长"), std::string::npos) << run.messages[0];
    EXPECT_EQ(entriesIn(folder.path() / "out"), 0u);
}

TEST_F(SplitRun, SizePlusTwoGivesTwoPieces) {
    writeFile(folder.file("s.txt"), "12345");
    EXPECT_TRUE(SplitIT(host, folder.file("s.txt"), 3, out).completed());
    EXPECT_EQ(readFile(out + "s002.txt"), "45");
}

struct ErrorCase {
    const char* name;
    std::function<std::string(const TempFolder&)> source;
    std::function<std::string(const TempFolder&)> destination;
    std::int64_t size;
    std::function<std::string(const TempFolder&)> expectedMessage;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class SplitErrorReport : public SplitRun, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(SplitErrorReport, ShowsTheDescriptionAndClosesEveryFile) {
    const auto& c = GetParam();
    writeFile(folder.file("big.txt"), std::string(100000, 'b'));
#ifdef __linux__
    const auto filesBefore = openFileCount();
#endif
    EXPECT_EQ(SplitIT(host, c.source(folder), c.size, c.destination(folder)).ending(),
              Kind::Failed);
    EXPECT_EQ(host.messages, std::vector<std::string>{c.expectedMessage(folder)});
    EXPECT_EQ(host.lastStatus().find("圆满完成"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder.path() / "out" / "big.BAT"));
    EXPECT_EQ(entriesIn(folder.path() / "out"), 0u);
#ifdef __linux__
    EXPECT_LE(openFileCount(), filesBefore); // none of the run's files is left open
#endif
}

std::string sep() {
    return std::string(1, runtime::nativeSeparator());
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitErrorReport,
    ::testing::Values(
        ErrorCase{"MissingSource", [](auto& f) { return f.file("none.txt"); },
                  [](auto& f) { return f.file("out") + sep(); }, 3,
                  [](auto& f) { return "错误提示信息:文件未找到：" + f.file("none.txt"); }},
        ErrorCase{"MissingDestinationFolder", [](auto& f) { return f.file("big.txt"); },
                  [](auto& f) { return f.file("nowhere") + sep(); }, 50000,
                  [](auto& f) {
                      return "错误提示信息:路径未找到：" + f.file("nowhere") + sep() + "big001.txt";
                  }},
        ErrorCase{"SourceIsAFolder", [](auto& f) { return f.file("out"); },
                  [](auto& f) { return f.file("out") + sep(); }, 3,
                  [](auto& f) {
                      return "错误提示信息:这是文件夹，不是文件，请选择一个文件：" + f.file("out");
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SplitRun, APieceThatCannotBeMadeStopsTheRunThere) {
    writeFile(folder.file("e.txt"), std::string(100, 'e'));
    fs::create_directory(folder.path() / "out" / "e003.txt");
#ifdef __linux__
    const auto filesBefore = openFileCount();
#endif
    SplitIT(host, folder.file("e.txt"), 10, out);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(out + "e003.txt"), std::string::npos) << host.messages[0];
    EXPECT_EQ(readFile(out + "e002.txt"), std::string(10, 'e'));
    // Nothing made ahead of the failed piece is left behind.
    EXPECT_EQ(entriesIn(folder.path() / "out"), 3u);
#ifdef __linux__
    EXPECT_LE(openFileCount(), filesBefore); // none of the run's files is left open
#endif
}

TEST_F(SplitRun, ReplacesALongerOldPieceCompletely) {
    writeFile(out + "r001.txt", std::string(5000, 'o'));
    writeFile(folder.file("r.txt"), "abcdef");
    SplitIT(host, folder.file("r.txt"), 4, out);
    EXPECT_EQ(readFile(out + "r001.txt"), "abcd");
}

TEST_F(SplitRun, RerunningReplacesTheScript) {
    writeFile(folder.file("r.txt"), "abcdefgh");
    SplitIT(host, folder.file("r.txt"), 2, out);
    SplitIT(host, folder.file("r.txt"), 4, out);
    EXPECT_EQ(readFile(out + "r.BAT"), "COPY/B r001.txt/B+r002.txt/B r.txt/B\r\n");
}

// x1.txt's pieces x1001.txt ... are also pieces 1001 ... of x.txt: what vouches for a set
// decides whose they are.
TEST_F(SplitRun, NeverOverwritesAFileAnotherSetsVoucherLists) {
    struct Case {
        const char* what;
        const char* voucher;
        std::string text;
        bool refused;
    };
    const std::string hash(64, 'a');
    const std::vector<Case> cases = {
        {"a piece another set's script lists", "x.BAT", "COPY/B x001.txt/B+x1001.txt/B x.txt/B\r\n",
         true},
        {"a piece another set's checksum file lists", "x.txt.sha256",
         hash + "  x001.txt\n" + hash + "  x1001.txt\n" + hash + "  x.txt\n", true},
        {"a piece of its own earlier split", "x1.BAT",
         "COPY/B x1001.txt/B+x1002.txt/B x1.txt/B\r\n", false},
        {"the script of another source of the same base", "x1.BAT",
         "COPY/B x1001.pdf/B+x1002.pdf/B x1.pdf/B\r\n", false},
        {"a script that joins into another file", "x1.BAT",
         "COPY/B x001.txt/B+x1001.txt/B x.txt/B\r\n", true},
    };
    writeFile(folder.file("x1.txt"), "abcde");
    for (const auto& c : cases) {
        fs::remove_all(folder.path() / "out");
        fs::create_directory(folder.path() / "out");
        writeFile(out + "x1001.txt", "old piece");
        writeFile(out + c.voucher, c.text);
        RecordingHost run;
        const auto outcome = SplitIT(run, folder.file("x1.txt"), 2, out);
        EXPECT_EQ(outcome.ending(), c.refused ? Kind::Refused : Kind::Completed) << c.what;
        EXPECT_EQ(readFile(out + "x1001.txt"), c.refused ? "old piece" : "ab") << c.what;
        if (c.refused) {
            ASSERT_EQ(run.messages.size(), 1u) << c.what;
            EXPECT_NE(run.messages[0].find("会覆盖另一组文件"), std::string::npos)
                << run.messages[0];
        }
    }
}

// One run per folder: a run that finds the folder held by another is refused before it
// writes anything, and the folder is free again once that run is over.
TEST_F(SplitRun, ARunIntoAFolderAnotherRunHoldsIsRefused) {
    writeFile(folder.file("h.txt"), "abcdefgh");
    ASSERT_TRUE(SplitIT(host, folder.file("h.txt"), 3, out).completed());
    {
        const auto other = runtime::FolderLock::tryHold(out);
        ASSERT_TRUE(other.has_value());
        // Counted while held: on Windows the hold is a hidden file in the folder.
        const std::size_t before = entriesIn(folder.path() / "out");
        EXPECT_FALSE(runtime::FolderLock::tryHold(out).has_value());
        RecordingHost split;
        EXPECT_EQ(SplitIT(split, folder.file("h.txt"), 2, out).ending(), Kind::Refused);
        RecordingHost merge;
        EXPECT_EQ(engine::MergeIT(merge, out + "h.BAT").ending(), Kind::Refused);
        for (const auto* run : {&split, &merge}) {
            ASSERT_EQ(run->messages.size(), 1u);
            EXPECT_NE(run->messages[0].find("另一个分割或合并正在使用这个文件夹"),
                      std::string::npos)
                << run->messages[0];
        }
        EXPECT_EQ(entriesIn(folder.path() / "out"), before);
        EXPECT_EQ(readFile(out + "h.BAT"), "COPY/B h001.txt/B+h002.txt/B+h003.txt/B h.txt/B\r\n");
    }
    RecordingHost again;
    EXPECT_TRUE(engine::MergeIT(again, out + "h.BAT").completed()) << again.messages.size();
}

// Every way a written file could be the source itself.
TEST_F(SplitRun, NeverWritesOverTheSource) {
    const std::string content = "keep these bytes";
    struct Case {
        const char* what;
        std::string source;
        std::string destination;
    };
    writeFile(folder.file("x.BAT"), content);
    writeFile(folder.file("y.txt"), content);
    fs::create_hard_link(folder.path() / "y.txt", folder.path() / "out" / "y002.txt");
    std::vector<Case> cases = {
        {"script named like the source", folder.file("x.BAT"), ""},
        {"script through a relative spelling", folder.file("x.BAT"),
         folder.file("out") + sep() + ".." + sep()},
        {"a piece that is a hard link of the source", folder.file("y.txt"), out},
    };
    // Windows lets only privileged users make symbolic links; the case needs one.
    std::error_code noLink;
    fs::create_directory_symlink(folder.path(), folder.path() / "alias", noLink);
    if (!noLink) {
        cases.push_back({"script through another spelling of the folder", folder.file("x.BAT"),
                         folder.file("alias") + sep()});
    }
    for (const auto& c : cases) {
        RecordingHost run;
        EXPECT_EQ(SplitIT(run, c.source, 5, c.destination).ending(), Kind::Refused) << c.what;
        EXPECT_EQ(run.messages, std::vector<std::string>{engine::split_text::wouldOverwriteSource})
            << c.what;
        EXPECT_EQ(readFile(c.source), content) << c.what;
    }
    EXPECT_EQ(entriesIn(folder.path() / "out"), 1u);
}

TEST_F(SplitRun, ConcatenatedPiecesGiveBackTheSource) {
    std::mt19937 random(2024);
    for (int round = 0; round < 25; ++round) {
        const std::size_t length = 2 + random() % 200000;
        const auto size = static_cast<std::int64_t>(1 + random() % (length - 1));
        if (!engine::passesSizeGate(static_cast<std::int64_t>(length), size) ||
            (length + size - 1) / size > 2000) {
            continue;
        }
        TempFolder run;
        const std::string content = testing_support::randomBytes(length, round);
        writeFile(run.file("data.bin"), content);
        RecordingHost quiet;
        ASSERT_TRUE(SplitIT(quiet, run.file("data.bin"), size, "").completed());
        ASSERT_TRUE(quiet.messages.empty());
        const auto count = static_cast<int>((length + size - 1) / size);
        std::string joined;
        for (int i = 1; i <= count; ++i) {
            joined += readFile(run.file("data" + runtime::formatPieceNumber(i) + ".bin"));
        }
        EXPECT_EQ(joined, content) << "length " << length << " size " << size;
        EXPECT_FALSE(
            fs::exists(run.path() / ("data" + runtime::formatPieceNumber(count + 1) + ".bin")));
    }
}

#ifndef _WIN32
// The folder swapped for a link elsewhere during the run: the run goes on writing into the
// folder it opened (never a byte elsewhere), and fails, so that no script vouches for a
// folder the user no longer sees.
TEST_F(SplitRun, AFolderSwappedDuringTheRunFailsIt) {
    writeFile(folder.file("w.txt"), std::string(100, 'w'));
    fs::create_directory(folder.path() / "elsewhere");
    host.actOnPump = 2;
    host.action = [&] {
        fs::rename(folder.path() / "out", folder.path() / "moved");
        fs::create_directory_symlink(folder.path() / "elsewhere", folder.path() / "out");
    };
    const auto outcome = SplitIT(host, folder.file("w.txt"), 10, out);
    EXPECT_EQ(outcome.ending(), Kind::Failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(engine::split_text::folderSwapped), std::string::npos);
    EXPECT_FALSE(fs::exists(folder.path() / "moved" / "w.BAT"));
    // Every piece went into the folder the run opened; the link's target got nothing.
    EXPECT_EQ(entriesIn(folder.path() / "elsewhere"), 0u);
    EXPECT_TRUE(fs::exists(folder.path() / "moved" / "w010.txt"));
}
#endif

TEST_F(SplitRun, AStopFromTheEventPumpRemovesWhatTheRunWroteAndClosesEveryFile) {
    writeFile(folder.file("c.txt"), std::string(100, 'c'));
#ifdef __linux__
    const auto filesBefore = openFileCount();
#endif
    // Files after the cancelled piece are made ahead of their turn: an old one must
    // keep its bytes, a new one must go again.
    writeFile(out + "c004.txt", "old piece");
    // Stopped once the helper has made the files ahead up to its limit (pieces 3 to 6),
    // so the case tests what it says.
    WatchedOpens files("c006.txt");
    host.actOnPump = 2;
    host.action = [&] {
        EXPECT_TRUE(files.waitUntilOpened()) << "the helper never opened c006.txt";
        throw engine::RunCancelled{};
    };
    const auto outcome = SplitIT(host, folder.file("c.txt"), 10, out, files);
    EXPECT_EQ(outcome.ending(), Kind::Cancelled);
    // A stopped set is of no use: what the run wrote goes, what it never reached stays.
    EXPECT_EQ(host.lastStatus(), engine::split_text::stopped(2));
    EXPECT_EQ(outcome.text(), host.lastStatus());
    EXPECT_FALSE(fs::exists(out + "c.BAT"));
    EXPECT_FALSE(fs::exists(out + "c001.txt"));
    EXPECT_FALSE(fs::exists(out + "c002.txt"));
    EXPECT_FALSE(fs::exists(out + "c003.txt"));
    EXPECT_EQ(readFile(out + "c004.txt"), "old piece");
    EXPECT_EQ(entriesIn(folder.path() / "out"), 1u);
#ifdef __linux__
    EXPECT_LE(openFileCount(), filesBefore); // none of the run's files is left open
#endif
}

#ifndef _WIN32
// Runs one split in a child process with limits the test itself must not carry.
// Exit code 0 means the child saw exactly the expected message.
void expectSplitInChild(const std::function<void()>& restrict, const std::string& source,
                        std::int64_t size, const std::string& destination,
                        const std::string& expectedMessagePrefix) {
    EXPECT_EXIT(
        {
            restrict();
            RecordingHost child;
            SplitIT(child, source, size, destination);
            const bool ok = child.messages.size() == 1 &&
                            child.messages[0].rfind(expectedMessagePrefix, 0) == 0 &&
                            child.lastStatus().find("圆满完成") == std::string::npos;
            for (const auto& message : child.messages) {
                std::fprintf(stderr, "message: %s\n", message.c_str());
            }
            std::_Exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// The kernel's signal for a write past the limit would end the program on the spot.
TEST_F(SplitRun, AFileSizeLimitEndsInTheErrorReportNotInASignal) {
    writeFile(folder.file("f.bin"), testing_support::randomBytes(300000, 3));
    expectSplitInChild(
        [] {
            rlimit limit{50000, 50000};
            setrlimit(RLIMIT_FSIZE, &limit);
        },
        folder.file("f.bin"), 100000, out,
        "错误提示信息:" + runtime::describe(runtime::ErrorNumber::FileTooLarge) + "：" + out +
            "f001.bin");
}

TEST_F(SplitRun, AnUnwritableDestinationEndsInTheErrorReport) {
    writeFile(folder.file("u.bin"), "0123456789");
    fs::permissions(folder.path() / "out", fs::perms::owner_read | fs::perms::owner_exec |
                                               fs::perms::group_read | fs::perms::others_read |
                                               fs::perms::group_exec | fs::perms::others_exec);
    fs::permissions(folder.path(), fs::perms::all);
    expectSplitInChild(
        [] {
            // Root may write anywhere; become nobody for the attempt.
            if (geteuid() == 0 && setuid(65534) != 0) {
                std::_Exit(2);
            }
        },
        folder.file("u.bin"), 3, out, "错误提示信息:拒绝的权限：" + out + "u001.bin");
}
#endif

} // namespace
