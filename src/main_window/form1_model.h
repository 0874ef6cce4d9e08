#pragma once

#include "engine/result.h"
#include "main_window/piece_size.h"
#include "main_window/run_link.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace main_window {

// What the main window's model asks of the toolkit that draws it.
class Form1View {
public:
    virtual ~Form1View() = default;
    // Shows the model's state (texts, selections, enabled boxes, captions, status, progress).
    virtual void refresh() = 0;
    virtual void showMessage(const std::string& text) = 0;
    // Called on a run's thread: asks the window's thread to call
    // Form1Model::deliverRunEvents soon. It must only post, never wait.
    virtual void wake() = 0;
    // The file-open dialog, opening at `last`: the chosen path, or empty when cancelled.
    virtual std::string askFileName(const std::string& last) = 0;
    virtual void focusOther() = 0;
    // The folder chooser, which opens at `startFolder` the first time (empty: the current
    // folder) and keeps its place afterwards.
    virtual void openFolderChooser(const std::string& startFolder) = 0;
    virtual void openAboutBox() = 0;
    virtual void openHomePage() = 0;
    virtual void endProcess() = 0;
    // The platform's double-click time: a second click within it of a run's start is the
    // start's second half, not a stop.
    virtual std::chrono::milliseconds doubleClickTime() const {
        return std::chrono::milliseconds(500);
    }
};

// The main window without a toolkit: its state and every decision of its handlers, for
// the Qt and the Windows front ends alike, which only draw it and pass events on. It
// hosts the engine's runs: start_Click or copy_Click starts one on a thread of its own,
// the window shows what it says as the view delivers it, and the same buttons (or Esc)
// stop it. A box the window shows meanwhile holds nothing up.
class Form1Model {
public:
    enum class Run { None, Split, Merge };
    struct State {
        std::string src, dec, src1, other;
        std::string recovery = "0"; // how many lost pieces recovery files can rebuild
        int option = 2;             // Option1: 0 1MB, 1 1.38MB, 2 500KB, 3 custom
        std::array<bool, 3> unitChecked{true, false, false}; // Check1: MB, KB, Bytes
        bool unitsEnabled = false;
        std::string status;
        bool progressShown = false;
        int progressPermille = 0;
        std::string startCaption = "切割(&S)";
        std::string copyCaption = "合并(&C)";
        Run run = Run::None;
        // During a run the file and folder fields and their buttons are locked: the run's
        // names stay beside its texts.
        bool fieldsLocked = false;
    };

    // The progress bar's scale: progressPermille runs from 0 to this.
    static constexpr int progressSteps = 1000;

    static constexpr std::array<const char*, 4> optionCaptions{"1MB", "1.38MB",
                                                               "500KB（手机电子书）", "其它容量"};

    using Clock = std::chrono::steady_clock;
    // What time it is: the steady clock's, or a test's own.
    using Now = std::function<Clock::time_point()>;

    // `wakeInterval`: how often at most a run wakes the window with its news.
    explicit Form1Model(Form1View& view, Now now = Clock::now,
                        std::chrono::milliseconds wakeInterval = RunLink::defaultInterval)
        : view_(view), now_(std::move(now)), link_([this] { view_.wake(); }, wakeInterval) {}

    const State& state() const { return state_; }
    SizeSelection sizeSelection() const;

    // What the view's boxes hold now (typed, or set by the toolkit); a locked field keeps
    // its text.
    void setOtherText(const std::string& text) { state_.other = text; }
    void setSrc1Text(const std::string& text) { setUnlocked(state_.src1, text); }
    void setSrcText(const std::string& text) { setUnlocked(state_.src, text); }
    void setDecText(const std::string& text) { setUnlocked(state_.dec, text); }
    void setRecoveryText(const std::string& text) { setUnlocked(state_.recovery, text); }
    void setUnitChecked(int Index, bool checked) {
        state_.unitChecked[static_cast<std::size_t>(Index)] = checked;
    }

    // Handlers.
    void Option1_Click(int Index);
    void other_Click();
    // `checked`: the box's state after the click.
    void Check1_Click(int Index, bool checked);
    void browse_Click();
    void saveto_Click();
    void start_Click();
    void about_Click();
    void quit_Click();
    void Command3_Click();
    void copy_Click();
    // The window's close box: true when it may close now; otherwise it stays until the
    // run has stopped, and the program then ends.
    bool Form_Unload();
    // Esc: stops a run, does nothing otherwise.
    void escape();

    // A chosen or dropped source file, as browse does: src, dec and the size line.
    void takeSourceFile(const std::string& path);
    // A dropped file: on the merge group it is the file to merge, elsewhere the file to
    // split; false while a run is going on.
    bool takeDroppedFile(const std::string& path, bool onMergeGroup);
    // The folder chooser's choice; one made during a run fills the field once it ends.
    void setDestination(const std::string& folder);

    // On the window's thread, after the view's wake: shows what the run said since the
    // last delivery; once it has ended, its end (status, buttons, progress) and then its
    // messages.
    void deliverRunEvents();
    // Shows a status text as a run's own (not while it stops).
    void setStatus(const std::string& text);
    // The progress bar's position on its scale for `done` of `total` bytes.
    static int progressPermille(std::int64_t done, std::int64_t total);

private:
    void setUnlocked(std::string& field, const std::string& text) {
        if (!state_.fieldsLocked) {
            field = text;
        }
    }
    // The file-open dialog's answer: a cancel gives back the last name, as the dialog keeps it.
    std::string chooseFile();
    bool answeredDuringARun(Run own, const char* whyItWaits);
    void refuse(const char* prefix, const std::string& message);
    void beginRun(Run run, const char* status, RunLink::Work work);
    void stopRun();
    void endProgram();
    void afterRun(const engine::RunOutcome& outcome);
    void setCaptions();

    Form1View& view_;
    Now now_;
    Clock::time_point runStarted_{};
    State state_;
    std::string lastFileName_; // also where the folder chooser starts
    std::optional<std::string> chosenDuringRun_;
    bool stopRequested_ = false;
    bool endRequested_ = false;
    bool ending_ = false;
    std::vector<std::string> heldMessages_; // a run's messages, shown once its end is
    RunLink link_;                          // last: its thread ends before the rest goes
};

namespace form1_text {
inline constexpr const char* stopSplit = "停止(&S)";
inline constexpr const char* stopMerge = "停止(&C)";
inline constexpr const char* stopping = "正在停止…";
inline constexpr const char* splitting = "正在分割…";
inline constexpr const char* merging = "正在合并…";
inline constexpr const char* splitNotDone = "未能分割：";
inline constexpr const char* mergeNotDone = "未能合并：";
inline constexpr const char* mergeDuringSplit = "正在分割，请等分割完成或按“停止”后再合并。";
inline constexpr const char* splitDuringMerge = "正在合并，请等合并完成或按“停止”后再分割。";
} // namespace form1_text

} // namespace main_window
