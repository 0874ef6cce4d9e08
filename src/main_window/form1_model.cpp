#include "main_window/form1_model.h"

#include "engine/merge_run.h"
#include "engine/split_run.h"
#include "main_window/window_rules.h"
#include "runtime/path.h"

#include <utility>

namespace main_window {

namespace {

// A run's problem as the status line tells it: the message without its box prefix.
std::string shortText(const char* prefix, const std::string& message) {
    const std::string boxPrefix = engine::split_text::errorPrefix;
    return prefix + (message.rfind(boxPrefix, 0) == 0 ? message.substr(boxPrefix.size()) : message);
}

} // namespace

SizeSelection Form1Model::sizeSelection() const {
    SizeSelection selection;
    for (std::size_t i = 0; i < optionCaptions.size(); ++i) {
        selection.captions[i] = optionCaptions[i];
    }
    selection.selectedOption = state_.option;
    selection.customText = state_.other;
    selection.unitChecked = state_.unitChecked;
    return selection;
}

void Form1Model::Option1_Click(int Index) {
    state_.option = Index;
    // The custom size takes its number and unit; the presets have their own.
    state_.unitsEnabled = Index == 3;
    view_.refresh();
    if (Index == 3) {
        view_.focusOther();
    }
}

void Form1Model::other_Click() {
    if (state_.option != 3) {
        Option1_Click(3);
    }
    state_.unitsEnabled = true;
    view_.refresh();
}

void Form1Model::Check1_Click(int Index, bool checked) {
    // One unit at most: the clicked box keeps what the click gave it.
    for (std::size_t a = 0; a < state_.unitChecked.size(); ++a) {
        state_.unitChecked[a] = static_cast<int>(a) == Index && checked;
    }
    view_.refresh();
}

void Form1Model::browse_Click() {
    if (state_.fieldsLocked) {
        return;
    }
    takeSourceFile(chooseFile());
}

void Form1Model::Command3_Click() {
    if (state_.fieldsLocked) {
        return;
    }
    state_.src1 = chooseFile();
    view_.refresh();
}

std::string Form1Model::chooseFile() {
    const std::string chosen = view_.askFileName(lastFileName_);
    if (!chosen.empty()) {
        lastFileName_ = runtime::nativePath(chosen);
    }
    return lastFileName_;
}

void Form1Model::takeSourceFile(const std::string& path) {
    const std::string name = runtime::nativePath(path);
    state_.src = name;
    const std::string folder = runtime::splitPath(name, runtime::nativePathStyle()).folder;
    if (!folder.empty()) {
        state_.dec = folder;
    }
    if (name.empty()) {
        view_.refresh();
        return;
    }
    const auto report = window_rules::reportSource(name);
    state_.status = report ? *report : shortText("", report.problem().message);
    view_.refresh();
    if (!report) {
        view_.showMessage(report.problem().message);
    }
}

bool Form1Model::takeDroppedFile(const std::string& path, bool onMergeGroup) {
    if (state_.run != Run::None || path.empty()) {
        return false;
    }
    if (onMergeGroup) {
        state_.src1 = runtime::nativePath(path);
        view_.refresh();
    } else {
        takeSourceFile(path);
    }
    return true;
}

void Form1Model::setDestination(const std::string& folder) {
    if (state_.fieldsLocked) {
        chosenDuringRun_ = folder;
        return;
    }
    state_.dec = folder;
    view_.refresh();
}

void Form1Model::saveto_Click() {
    if (!state_.fieldsLocked) {
        // Where the last chosen file is, as the platform's dialog leaves its current folder.
        view_.openFolderChooser(
            runtime::splitPath(lastFileName_, runtime::nativePathStyle()).folder);
    }
}

void Form1Model::about_Click() {
    view_.openAboutBox();
}

// A command's button during a run: its own run's stop, or a word on why it waits.
bool Form1Model::answeredDuringARun(Run own, const char* whyItWaits) {
    if (state_.run == own) {
        // People double-click buttons: the second click of a double-click on 切割 or 合并
        // lands on 停止, and is no stop.
        if (now_() - runStarted_ >= view_.doubleClickTime()) {
            stopRun();
        }
        return true;
    }
    if (state_.run != Run::None) {
        view_.showMessage(whyItWaits);
        return true;
    }
    return false;
}

void Form1Model::refuse(const char* prefix, const std::string& message) {
    state_.status = shortText(prefix, message);
    view_.refresh();
    view_.showMessage(message);
}

void Form1Model::beginRun(Run run, const char* status, RunLink::Work work) {
    state_.run = run;
    state_.fieldsLocked = true;
    runStarted_ = now_();
    state_.status = status;
    setCaptions();
    view_.refresh();
    link_.start(std::move(work));
}

void Form1Model::start_Click() {
    if (answeredDuringARun(Run::Split, form1_text::splitDuringMerge)) {
        return;
    }
    const auto request = window_rules::startRequest(state_.src, sizeSelection());
    if (!request) {
        refuse(form1_text::splitNotDone, request.problem().message);
        return;
    }
    const auto recovery = window_rules::recoveryPieces(state_.recovery);
    if (!recovery) {
        refuse(form1_text::splitNotDone, recovery.problem().message);
        return;
    }
    // Copies: browsing during the run must not change the run.
    const std::string source = runtime::nativePath(state_.src);
    const std::string destination =
        runtime::nativePath(window_rules::destinationPrefix(state_.dec));
    beginRun(Run::Split, form1_text::splitting,
             [source, size = *request, destination, pieces = *recovery](engine::Host& host) {
                 return engine::SplitIT(host, source, size, destination, pieces);
             });
}

void Form1Model::copy_Click() {
    if (answeredDuringARun(Run::Merge, form1_text::mergeDuringSplit)) {
        return;
    }
    if (state_.src1.empty()) {
        refuse(form1_text::mergeNotDone, engine::merge_text::nothingToMerge);
        return;
    }
    // A typed "D:/x/a.BAT" is the same path as D:\x\a.BAT to the user.
    const std::string picked = runtime::nativePath(state_.src1);
    beginRun(Run::Merge, form1_text::merging,
             [picked](engine::Host& host) { return engine::MergeIT(host, picked); });
}

void Form1Model::deliverRunEvents() {
    if (state_.run == Run::None) {
        return; // a wake that came after the end
    }
    RunLink::News news = link_.take();
    heldMessages_.insert(heldMessages_.end(), news.messages.begin(), news.messages.end());
    if (news.outcome) {
        afterRun(*news.outcome);
        return;
    }
    if (news.progress) {
        const auto [done, total] = *news.progress;
        state_.progressShown = true;
        state_.progressPermille = progressPermille(done, total);
    }
    if (news.status && !stopRequested_) { // "正在停止…" stays until the run has stopped
        state_.status = *news.status;
    }
    view_.refresh();
}

void Form1Model::afterRun(const engine::RunOutcome& outcome) {
    const char* failedPrefix =
        state_.run == Run::Split ? form1_text::splitNotDone : form1_text::mergeNotDone;
    state_.run = Run::None;
    state_.fieldsLocked = false;
    state_.progressShown = false;
    stopRequested_ = false;
    if (chosenDuringRun_) {
        state_.dec = *std::exchange(chosenDuringRun_, std::nullopt);
    }
    setCaptions();
    const engine::Ending ending = outcome.ending();
    const bool notDone = ending == engine::Ending::Refused || ending == engine::Ending::Failed;
    // A completion or a stop is the status itself; a refusal or failure in short.
    state_.status = notDone ? shortText(failedPrefix, outcome.text()) : outcome.text();
    view_.refresh();
    // Only now the boxes: the window behind them already shows the run's end. A box may
    // run the toolkit's loop, and a new run may start in it.
    for (const std::string& message : std::exchange(heldMessages_, {})) {
        view_.showMessage(message);
    }
    if (endRequested_) {
        endProgram();
    }
}

void Form1Model::setCaptions() {
    state_.startCaption = state_.run == Run::Split ? form1_text::stopSplit : "切割(&S)";
    state_.copyCaption = state_.run == Run::Merge ? form1_text::stopMerge : "合并(&C)";
}

void Form1Model::stopRun() {
    if (state_.run == Run::None) {
        return;
    }
    // The run ends at its next block; the engine removes what it wrote.
    stopRequested_ = true;
    link_.stop();
    state_.status = form1_text::stopping;
    view_.refresh();
}

void Form1Model::escape() {
    stopRun();
}

void Form1Model::quit_Click() {
    if (state_.run == Run::None) {
        endProgram();
        return;
    }
    endRequested_ = true;
    stopRun();
}

bool Form1Model::Form_Unload() {
    if (state_.run == Run::None) {
        endProgram();
        return true;
    }
    // The window stays, live, until the run has stopped and removed what it wrote.
    endRequested_ = true;
    stopRun();
    return false;
}

void Form1Model::endProgram() {
    if (ending_) {
        return;
    }
    ending_ = true;
    view_.openHomePage();
    view_.endProcess();
}

void Form1Model::setStatus(const std::string& text) {
    if (stopRequested_) {
        return;
    }
    state_.status = text;
    view_.refresh();
}

int Form1Model::progressPermille(std::int64_t done, std::int64_t total) {
    return total > 0 ? static_cast<int>(done * progressSteps / total) : 0;
}

} // namespace main_window
