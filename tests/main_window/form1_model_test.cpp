// The main window's decisions, once for both front ends, with a view that only records.
#include "main_window/form1_model.h"

#include "engine/merge_run.h"
#include "engine/split_run.h"
#include "runtime/path.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>

namespace fs = std::filesystem;
using main_window::Form1Model;
using testing_support::readFile;
using testing_support::TempFolder;
using testing_support::writeFile;
namespace text = main_window::form1_text;

namespace {

// Records what the model asks; plays the window's thread for a run on its own thread.
class RecordingView : public main_window::Form1View {
public:
    void refresh() override { ++refreshes; }
    void showMessage(const std::string& text) override {
        messages.push_back(text);
        behindMessages.push_back(model->state());
        // A box runs the toolkit's loop: the run goes on behind it and the window shows it.
        if (model->state().run != Form1Model::Run::None) {
            release();
            runToEnd();
        }
    }
    // On the run's thread. While an action is waiting, the run stays at each word it says
    // until the window's thread has taken it, so the action lands where the test puts it.
    void wake() override {
        std::unique_lock lock(mutex_);
        ++wakes_;
        woken_.notify_all();
        released_.wait(lock, [&] { return !holding_ || releasedUpTo_ >= wakes_; });
    }
    // The dialog's answers in turn; "" (or none left) is a cancel.
    std::string askFileName(const std::string&) override {
        if (answers.empty()) {
            return {};
        }
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void focusOther() override { ++otherFocused; }
    void openFolderChooser(const std::string& startFolder) override {
        chooserStarts.push_back(startFolder);
    }
    void openAboutBox() override { ++aboutOpened; }
    void openHomePage() override { ++homePageOpened; }
    void endProcess() override { ++ended; }

    // `act` runs on the window's thread once the run has said its `at`-th word.
    void actAt(int at, std::function<void()> act) {
        const std::lock_guard lock(mutex_);
        actAt_ = deliveries_ + at;
        action_ = std::move(act);
        holding_ = true;
    }
    // The window's event loop until the run has ended; a run silent for 10 s fails the test.
    void runToEnd() {
        while (model->state().run != Form1Model::Run::None) {
            {
                std::unique_lock lock(mutex_);
                if (!woken_.wait_for(lock, std::chrono::seconds(10),
                                     [&] { return wakes_ > delivered_; })) {
                    ADD_FAILURE() << "the run said nothing for 10 s";
                    holding_ = false;
                    released_.notify_all();
                    return;
                }
                delivered_ = wakes_;
            }
            model->deliverRunEvents();
            if (++deliveries_ == actAt_ && action_) {
                try {
                    std::exchange(action_, {})();
                } catch (const std::exception& error) {
                    ADD_FAILURE() << "the action threw: " << error.what();
                }
                release();
            }
            const std::lock_guard lock(mutex_);
            releasedUpTo_ = delivered_;
            released_.notify_all();
        }
    }

    Form1Model* model = nullptr;
    int refreshes = 0, otherFocused = 0, aboutOpened = 0;
    std::vector<std::string> chooserStarts;
    int homePageOpened = 0, ended = 0;
    std::vector<std::string> messages;
    std::vector<Form1Model::State> behindMessages; // the window's state as each box opened
    std::deque<std::string> answers;

private:
    void release() {
        const std::lock_guard lock(mutex_);
        holding_ = false;
        released_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable woken_, released_;
    int wakes_ = 0, delivered_ = 0, releasedUpTo_ = 0, deliveries_ = 0, actAt_ = 0;
    bool holding_ = false;
    std::function<void()> action_;
};

// A window over a folder that holds f.bin (20 pieces of 100 bytes in 2000 bytes).
struct Window {
    TempFolder folder;
    RecordingView view;
    Form1Model::Clock::time_point now{}; // the window's clock: a test moves it
    // Woken for every word: the test holds the run at the one it chooses.
    Form1Model model{view, [this] { return now; }, std::chrono::milliseconds(0)};
    std::string content = testing_support::randomBytes(2000, 21);

    Window() {
        view.model = &model;
        writeFile(folder.file("f.bin"), content);
        model.takeSourceFile(folder.file("f.bin"));
        model.Option1_Click(3);
        model.setOtherText("100");
        model.Check1_Click(2, true); // Bytes
    }
    std::string status() const { return model.state().status; }
    // A click on 切割 or 合并, and the window's loop until the run it starts has ended.
    void start() {
        model.start_Click();
        view.runToEnd();
    }
    void copy() {
        model.copy_Click();
        view.runToEnd();
    }
};

TEST(Form1Model, SplitsAndMergesWithTheStatusOfTheLatestCommand) {
    Window w;
    w.start();
    EXPECT_EQ(w.status(), engine::split_text::completed(20));
    w.model.setSrc1Text(w.folder.file("f.BAT"));
    fs::remove(fs::u8path(w.folder.file("f.bin")));
    w.copy();
    EXPECT_EQ(w.status(), engine::merge_text::succeededAndChecked);
    EXPECT_EQ(readFile(w.folder.file("f.bin")), w.content);
    EXPECT_TRUE(w.view.messages.empty());
    EXPECT_FALSE(w.model.state().progressShown);
}

// Typed without a final separator, an existing folder is where the files go.
TEST(Form1Model, SplitsIntoAFolderTypedWithoutItsSeparator) {
    Window w;
    fs::create_directory(w.folder.path() / "d3");
    w.model.setDecText(w.folder.file("d3"));
    w.start();
    EXPECT_EQ(w.status(), engine::split_text::completed(20));
    EXPECT_TRUE(fs::exists(w.folder.path() / "d3" / "f001.bin"));
    EXPECT_FALSE(fs::exists(w.folder.path() / "d3f001.bin"));
}

struct FailingCommandCase {
    const char* name;
    std::function<void(Window&)> prepare; // after a successful split and merge
    bool merge;
    const char* statusStart;
};

void PrintTo(const FailingCommandCase& c, std::ostream* os) {
    *os << c.name;
}

class AfterASuccess : public ::testing::TestWithParam<FailingCommandCase> {};

// The status line never keeps an earlier run's success behind a refusal or a failure.
TEST_P(AfterASuccess, AFailingCommandReplacesTheStatus) {
    const auto& c = GetParam();
    Window w;
    w.start();
    w.model.setSrc1Text(w.folder.file("f.BAT"));
    w.copy();
    ASSERT_EQ(w.status().rfind("合并成功！", 0), 0u) << w.status();
    c.prepare(w);
    c.merge ? w.copy() : w.start();
    EXPECT_EQ(w.status().rfind(c.statusStart, 0), 0u) << w.status();
    ASSERT_EQ(w.view.messages.size(), 1u);
    // The window behind the box already shows the end: no run, no bar, its own status.
    const Form1Model::State& behind = w.view.behindMessages.front();
    EXPECT_EQ(behind.run, Form1Model::Run::None);
    EXPECT_EQ(behind.status, w.status());
    EXPECT_EQ(behind.startCaption, "切割(&S)");
    EXPECT_EQ(behind.copyCaption, "合并(&C)");
    EXPECT_FALSE(behind.progressShown);
    EXPECT_FALSE(behind.fieldsLocked);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AfterASuccess,
    ::testing::Values(
        FailingCommandCase{"MissingFile",
                           [](Window& w) { w.model.setSrc1Text(w.folder.file("gone.BAT")); }, true,
                           text::mergeNotDone},
        FailingCommandCase{"SecondPiece",
                           [](Window& w) { w.model.setSrc1Text(w.folder.file("f002.bin")); }, true,
                           text::mergeNotDone},
        FailingCommandCase{"TheJoinedFile",
                           [](Window& w) { w.model.setSrc1Text(w.folder.file("f.bin")); }, true,
                           text::mergeNotDone},
        FailingCommandCase{"AFolder",
                           [](Window& w) { w.model.setSrc1Text(w.folder.prefix() + "x.BAT"); },
                           true, text::mergeNotDone},
        FailingCommandCase{"ShortPiece",
                           [](Window& w) {
                               writeFile(w.folder.file("f005.bin"), "short");
                               w.model.setSrc1Text(w.folder.file("f.BAT"));
                           },
                           true, text::mergeNotDone},
        // Failures (not refusals): a file shrinks under the run.
        FailingCommandCase{"APieceShrinksDuringTheMerge",
                           [](Window& w) {
                               w.model.setSrc1Text(w.folder.file("f.BAT"));
                               w.view.actAt(2, [&w] { writeFile(w.folder.file("f020.bin"), "x"); });
                           },
                           true, text::mergeNotDone},
        FailingCommandCase{"APieceCannotBeWrittenDuringTheSplit",
                           [](Window& w) {
                               w.view.actAt(2, [&w] {
                                   fs::remove(fs::u8path(w.folder.file("f020.bin")));
                                   fs::create_directory(fs::u8path(w.folder.file("f020.bin")));
                               });
                           },
                           false, text::splitNotDone},
        FailingCommandCase{"NothingToMerge", [](Window& w) { w.model.setSrc1Text(""); }, true,
                           text::mergeNotDone},
        FailingCommandCase{"RecoveryNotANumber", [](Window& w) { w.model.setRecoveryText("two"); },
                           false, text::splitNotDone},
        FailingCommandCase{"RecoveryForEveryPiece",
                           [](Window& w) { w.model.setRecoveryText("20"); }, false,
                           text::splitNotDone},
        FailingCommandCase{"NoSource", [](Window& w) { w.model.takeSourceFile(""); }, false,
                           text::splitNotDone},
        FailingCommandCase{"SizeOutOfRange",
                           [](Window& w) {
                               w.model.setOtherText("4096");
                               w.model.Check1_Click(0, true);
                           },
                           false, text::splitNotDone},
        FailingCommandCase{"SourceTooSmall", [](Window& w) { w.model.setOtherText("1999"); }, false,
                           text::splitNotDone}),
    [](const auto& info) { return std::string(info.param.name); });

struct DuringRunCase {
    const char* name;
    bool merge;                             // the run is a merge, else a split
    std::function<void(Form1Model&)> press; // what the user does during it
    const char* message;                    // the box it shows, or none
    bool stops;
    bool ends;                                                // the program ends after the run
    std::chrono::milliseconds after{std::chrono::seconds(1)}; // since the run's start
};

void PrintTo(const DuringRunCase& c, std::ostream* os) {
    *os << c.name;
}

class DuringARun : public ::testing::TestWithParam<DuringRunCase> {};

TEST_P(DuringARun, ACommandSaysWhatHappensAndAStopRemovesWhatTheRunWrote) {
    const auto& c = GetParam();
    Window w;
    writeFile(w.folder.file("f020.bin"), "an older file"); // replaced by the split
    if (c.merge) {
        w.start();
        writeFile(w.folder.file("f.bin"), "old target");
        w.model.setSrc1Text(w.folder.file("f.BAT"));
    }
    std::string ownCaption, otherCaption;
    w.view.actAt(3, [&] {
        const auto& state = w.model.state();
        ownCaption = c.merge ? state.copyCaption : state.startCaption;
        otherCaption = c.merge ? state.startCaption : state.copyCaption;
        w.now += c.after;
        c.press(w.model);
    });
    c.merge ? w.copy() : w.start();

    EXPECT_EQ(ownCaption, c.merge ? text::stopMerge : text::stopSplit);
    EXPECT_EQ(otherCaption, c.merge ? "切割(&S)" : "合并(&C)");
    EXPECT_EQ(w.view.messages,
              c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    EXPECT_EQ(w.model.state().run, Form1Model::Run::None);
    EXPECT_EQ(w.model.state().startCaption, "切割(&S)");
    EXPECT_EQ(w.model.state().copyCaption, "合并(&C)");
    if (c.stops) {
        EXPECT_EQ(w.status().rfind("已停止：", 0), 0u) << w.status();
        if (c.merge) {
            EXPECT_EQ(readFile(w.folder.file("f.bin")), "old target");
        } else {
            EXPECT_FALSE(fs::exists(fs::u8path(w.folder.file("f001.bin"))));
            EXPECT_FALSE(fs::exists(fs::u8path(w.folder.file("f.BAT"))));
            EXPECT_EQ(readFile(w.folder.file("f.bin")), w.content);
        }
    } else {
        EXPECT_EQ(w.status(), c.merge ? engine::merge_text::succeededAndChecked
                                      : engine::split_text::completed(20));
    }
    EXPECT_EQ(w.view.homePageOpened, c.ends ? 1 : 0);
    EXPECT_EQ(w.view.ended, c.ends ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DuringARun,
    ::testing::Values(
        DuringRunCase{"StopPressedDuringASplit", false, [](Form1Model& m) { m.start_Click(); },
                      nullptr, true, false},
        DuringRunCase{"EscDuringASplit", false, [](Form1Model& m) { m.escape(); }, nullptr, true,
                      false},
        // A double-click on 切割(S): its second click lands on 停止 and is no stop; Esc is.
        DuringRunCase{"SecondClickOfADoubleClickOnSplit", false,
                      [](Form1Model& m) { m.start_Click(); }, nullptr, false, false,
                      std::chrono::milliseconds(300)},
        DuringRunCase{"SecondClickOfADoubleClickOnMerge", true,
                      [](Form1Model& m) { m.copy_Click(); }, nullptr, false, false,
                      std::chrono::milliseconds(499)},
        DuringRunCase{"StopClickedJustAfterTheDoubleClickTime", false,
                      [](Form1Model& m) { m.start_Click(); }, nullptr, true, false,
                      std::chrono::milliseconds(500)},
        DuringRunCase{"EscAtOnceStillStops", false, [](Form1Model& m) { m.escape(); }, nullptr,
                      true, false, std::chrono::milliseconds(0)},
        DuringRunCase{"StopPressedDuringAMerge", true, [](Form1Model& m) { m.copy_Click(); },
                      nullptr, true, false},
        DuringRunCase{"MergePressedDuringASplit", false, [](Form1Model& m) { m.copy_Click(); },
                      text::mergeDuringSplit, false, false},
        DuringRunCase{"SplitPressedDuringAMerge", true, [](Form1Model& m) { m.start_Click(); },
                      text::splitDuringMerge, false, false},
        DuringRunCase{"QuitDuringASplit", false, [](Form1Model& m) { m.quit_Click(); }, nullptr,
                      true, true},
        DuringRunCase{"CloseDuringAMerge", true,
                      [](Form1Model& m) { EXPECT_FALSE(m.Form_Unload()); }, nullptr, true, true},
        DuringRunCase{"DropDuringASplit", false,
                      [](Form1Model& m) { EXPECT_FALSE(m.takeDroppedFile("/x/y.bin", false)); },
                      nullptr, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct LockCase {
    const char* name;
    std::function<void(Window&)> press; // during a split
    std::function<void(const Window&, const Form1Model::State& before)> check;
};

void PrintTo(const LockCase& c, std::ostream* os) {
    *os << c.name;
}

class FieldsDuringASplit : public ::testing::TestWithParam<LockCase> {};

// The fields keep the names the run was started with, so its completion text stands beside
// the file it split.
TEST_P(FieldsDuringASplit, KeepTheRunsNames) {
    const auto& c = GetParam();
    Window w;
    const Form1Model::State before = w.model.state();
    bool lockedDuring = false;
    w.view.actAt(3, [&] {
        lockedDuring = w.model.state().fieldsLocked;
        c.press(w);
    });
    w.start();
    EXPECT_TRUE(lockedDuring);
    EXPECT_FALSE(w.model.state().fieldsLocked);
    EXPECT_EQ(w.status(), engine::split_text::completed(20));
    c.check(w, before);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FieldsDuringASplit,
    ::testing::Values(
        LockCase{"BrowseOpensNoDialog",
                 [](Window& w) {
                     w.view.answers.push_back("/x/other.bin");
                     w.model.browse_Click();
                 },
                 [](const Window& w, const auto& before) {
                     EXPECT_EQ(w.model.state().src, before.src);
                     EXPECT_EQ(w.view.answers.size(), 1u);
                 }},
        LockCase{"MergeBrowseOpensNoDialog",
                 [](Window& w) {
                     w.view.answers.push_back("/x/other.BAT");
                     w.model.Command3_Click();
                 },
                 [](const Window& w, const auto& before) {
                     EXPECT_EQ(w.model.state().src1, before.src1);
                     EXPECT_EQ(w.view.answers.size(), 1u);
                 }},
        LockCase{"TypingChangesNoField",
                 [](Window& w) {
                     w.model.setSrcText("typed");
                     w.model.setDecText("typed");
                     w.model.setSrc1Text("typed");
                     w.model.setRecoveryText("7");
                 },
                 [](const Window& w, const auto& before) {
                     EXPECT_EQ(w.model.state().recovery, before.recovery);
                     EXPECT_EQ(w.model.state().src, before.src);
                     EXPECT_EQ(w.model.state().dec, before.dec);
                     EXPECT_EQ(w.model.state().src1, before.src1);
                 }},
        LockCase{"TheChooserStaysShut", [](Window& w) { w.model.saveto_Click(); },
                 [](const Window& w, const auto&) { EXPECT_TRUE(w.view.chooserStarts.empty()); }},
        LockCase{"AFolderChosenMeanwhileFillsTheFieldAfterwards",
                 [](Window& w) {
                     w.model.setDestination("/chosen/");
                     EXPECT_NE(w.model.state().dec, "/chosen/");
                 },
                 [](const Window& w, const auto&) { EXPECT_EQ(w.model.state().dec, "/chosen/"); }}),
    [](const auto& info) { return std::string(info.param.name); });

// The bar's position on the views' scale: its end once every byte is done, also for sizes
// past what an int holds.
TEST(Form1Model, TheProgressBarRunsToItsEnd) {
    const struct {
        std::int64_t done, total;
        int shown;
    } rows[] = {{0, 10, 0},
                {5, 10, Form1Model::progressSteps / 2},
                {10, 10, Form1Model::progressSteps},
                {4'000'000'000'000, 8'000'000'000'000, Form1Model::progressSteps / 2},
                {8'000'000'000'000, 8'000'000'000'000, Form1Model::progressSteps},
                {3, 0, 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(Form1Model::progressPermille(row.done, row.total), row.shown)
            << row.done << " of " << row.total;
    }
}

// The recovery field reaches the split: its files beside the pieces, and a merge that
// rebuilds a lost piece from them says so.
TEST(Form1Model, RecoveryFilesAreWrittenAndUsed) {
    Window w;
    w.model.setRecoveryText("2");
    w.start();
    EXPECT_EQ(w.status(), engine::split_text::completed(20));
    EXPECT_TRUE(fs::exists(fs::u8path(w.folder.file("f.bin.vol01+01.par2"))));
    fs::remove(fs::u8path(w.folder.file("f.bin")));
    fs::remove(fs::u8path(w.folder.file("f007.bin")));
    w.model.setSrc1Text(w.folder.file("f.BAT"));
    w.copy();
    EXPECT_EQ(w.status(), engine::merge_text::succeededWithRebuilt({7}, true));
    EXPECT_EQ(readFile(w.folder.file("f.bin")), w.content);
}

TEST(Form1Model, AMergeWithoutAChecksumFileSaysNothingWasChecked) {
    Window w;
    w.start();
    fs::remove(fs::u8path(w.folder.file("f.bin.sha256")));
    w.model.setSrc1Text(w.folder.file("f.BAT"));
    w.copy();
    EXPECT_EQ(w.status(), engine::merge_text::succeeded);
}

TEST(Form1Model, QuitWithoutARunOpensTheHomePageOnceAndEnds) {
    RecordingView view;
    Form1Model model(view);
    view.model = &model;
    model.quit_Click();
    EXPECT_TRUE(model.Form_Unload());
    EXPECT_EQ(view.homePageOpened, 1);
    EXPECT_EQ(view.ended, 1);
}

struct SizeCase {
    const char* name;
    std::function<void(Form1Model&)> clicks;
    int option;
    std::array<bool, 3> checked;
    bool enabled;
    int focused; // times the custom box was given the focus
};

void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << c.name;
}

class SizeControls : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SizeControls, FollowTheClicks) {
    const auto& c = GetParam();
    RecordingView view;
    Form1Model model(view);
    view.model = &model;
    c.clicks(model);
    EXPECT_EQ(model.state().option, c.option);
    EXPECT_EQ(model.state().unitChecked, c.checked);
    EXPECT_EQ(model.state().unitsEnabled, c.enabled);
    EXPECT_EQ(view.otherFocused, c.focused);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SizeControls,
    ::testing::Values(SizeCase{"AtStart", [](Form1Model&) {}, 2, {true, false, false}, false, 0},
                      SizeCase{"CustomOption",
                               [](Form1Model& m) { m.Option1_Click(3); },
                               3,
                               {true, false, false},
                               true,
                               1},
                      SizeCase{"BackToAPreset",
                               [](Form1Model& m) {
                                   m.Option1_Click(3);
                                   m.Option1_Click(1);
                               },
                               1,
                               {true, false, false},
                               false,
                               1},
                      SizeCase{"IntoTheCustomBox",
                               [](Form1Model& m) { m.other_Click(); },
                               3,
                               {true, false, false},
                               true,
                               1},
                      SizeCase{"IntoTheCustomBoxAgain",
                               [](Form1Model& m) {
                                   m.other_Click();
                                   m.other_Click();
                               },
                               3,
                               {true, false, false},
                               true,
                               1},
                      SizeCase{"OneUnitAtMost",
                               [](Form1Model& m) {
                                   m.other_Click();
                                   m.Check1_Click(1, true);
                               },
                               3,
                               {false, true, false},
                               true,
                               1},
                      SizeCase{"NoUnit",
                               [](Form1Model& m) {
                                   m.other_Click();
                                   m.Check1_Click(0, false);
                               },
                               3,
                               {false, false, false},
                               true,
                               1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Form1Model, ADroppedFileGoesWhereItWasDropped) {
    TempFolder folder;
    writeFile(folder.file("a.txt"), std::string(1536, 'a'));
    RecordingView view;
    Form1Model model(view);
    view.model = &model;
    EXPECT_TRUE(model.takeDroppedFile(folder.file("a.BAT"), true));
    EXPECT_EQ(model.state().src1, folder.file("a.BAT"));
    EXPECT_TRUE(model.state().src.empty());
    EXPECT_TRUE(model.takeDroppedFile(folder.file("a.txt"), false));
    EXPECT_EQ(model.state().src, folder.file("a.txt"));
    EXPECT_EQ(model.state().dec, folder.prefix());
    EXPECT_EQ(model.state().status, "文件大小： 1.5KBytes");
}

struct DialogCase {
    const char* name;
    std::vector<std::string> answers; // the file dialog's, in the folder; "" is a cancel
    const char* clicks;               // b: browse, c: the merge's browse, s: the chooser
    const char* src1;
    std::vector<std::string> chooserStarts;
};

void PrintTo(const DialogCase& c, std::ostream* os) {
    *os << c.name;
}

class FileDialog : public ::testing::TestWithParam<DialogCase> {};

// A cancel gives back the last name, as the dialog keeps it; the folder chooser opens where
// the last chosen file is (the current folder before any).
TEST_P(FileDialog, KeepsItsLastNameAndTellsTheChooserWhereToStart) {
    const auto& c = GetParam();
    TempFolder folder;
    fs::create_directory(folder.path() / "sub");
    writeFile(folder.file("a.txt"), "abc");
    writeFile(folder.file("sub/b.BAT"), "x");
    RecordingView view;
    Form1Model model(view);
    view.model = &model;
    for (const std::string& answer : c.answers) {
        view.answers.push_back(answer.empty() ? answer : runtime::nativePath(folder.file(answer)));
    }
    for (const char* click = c.clicks; *click; ++click) {
        *click == 'b'   ? model.browse_Click()
        : *click == 'c' ? model.Command3_Click()
                        : model.saveto_Click();
    }
    const auto inFolder = [&](const std::string& name) {
        return name.empty() ? name : runtime::nativePath(folder.file(name));
    };
    EXPECT_EQ(model.state().src1, inFolder(c.src1));
    std::vector<std::string> starts; // "." the test's folder, "" none given
    for (const std::string& start : c.chooserStarts) {
        starts.push_back(start.empty() ? start
                                       : runtime::nativePath(folder.prefix() +
                                                             (start == "." ? "" : start + "/")));
    }
    EXPECT_EQ(view.chooserStarts, starts);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileDialog,
    ::testing::Values(
        DialogCase{"BeforeAnyChoiceTheCurrentFolder", {}, "s", "", {""}},
        DialogCase{"ACancelGivesBackTheLastName", {"a.txt", ""}, "bc", "a.txt", {}},
        DialogCase{"TheChooserStartsAtTheChosenFile", {"a.txt"}, "bs", "", {"."}},
        DialogCase{"TheMergesChoiceCountsToo", {"a.txt", "sub/b.BAT"}, "bcs", "sub/b.BAT", {"sub"}},
        DialogCase{
            "ACancelLeavesTheChooserWhereItWas", {"sub/b.BAT", ""}, "cbs", "sub/b.BAT", {"sub"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
