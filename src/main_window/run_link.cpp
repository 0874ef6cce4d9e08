#include "main_window/run_link.h"

#include "engine/split_run.h"

namespace main_window {

RunLink::~RunLink() {
    {
        const std::lock_guard lock(wakeMutex_);
        closing_ = true;
    }
    stopAsked_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

void RunLink::start(Work work) {
    if (thread_.joinable()) {
        thread_.join();
    }
    stopAsked_ = false;
    {
        const std::lock_guard lock(newsMutex_);
        news_ = News{};
        fresh_ = false;
        woken_ = false;
    }
    thread_ = std::thread([this, work = std::move(work)] {
        std::optional<engine::RunOutcome> outcome;
        try {
            outcome.emplace(work(*this));
        } catch (...) {
            // The runs report their own failures; this is the last guard of the thread.
            const std::string message =
                std::string(engine::split_text::errorPrefix) + engine::split_text::internalError;
            showMessage(message);
            outcome.emplace(engine::Problem{engine::Ending::Failed, message});
        }
        tell([&](News& news) { news.outcome = std::move(outcome); }, true);
    });
}

RunLink::News RunLink::take() {
    News taken;
    {
        const std::lock_guard lock(newsMutex_);
        taken = std::exchange(news_, News{});
        fresh_ = false;
        woken_ = false;
    }
    if (taken.outcome && thread_.joinable()) {
        thread_.join(); // its last act was to tell the outcome
    }
    return taken;
}

template <typename Change> void RunLink::tell(Change change, bool last) {
    bool wake = false;
    {
        const std::lock_guard lock(newsMutex_);
        change(news_);
        fresh_ = true;
        wake = wakeDue(last);
    }
    if (wake) {
        wakeWindow();
    }
}

bool RunLink::wakeDue(bool last) {
    const auto now = std::chrono::steady_clock::now();
    if (!fresh_ || woken_ || (!last && now - lastWake_ < interval_)) {
        return false;
    }
    woken_ = true;
    lastWake_ = now;
    return true;
}

void RunLink::wakeWindow() {
    const std::lock_guard lock(wakeMutex_);
    if (!closing_) {
        wake_();
    }
}

void RunLink::setStatus(const std::string& text) {
    tell([&](News& news) { news.status = text; });
}

void RunLink::showMessage(const std::string& text) {
    tell([&](News& news) { news.messages.push_back(text); });
}

void RunLink::setProgress(std::int64_t done, std::int64_t total) {
    tell([&](News& news) { news.progress = std::pair(done, total); });
}

void RunLink::pumpEvents() {
    if (stopAsked_) {
        throw engine::RunCancelled{};
    }
    // News held back by the interval goes out with the next pump that is due.
    bool wake = false;
    {
        const std::lock_guard lock(newsMutex_);
        wake = wakeDue(false);
    }
    if (wake) {
        wakeWindow();
    }
}

} // namespace main_window
