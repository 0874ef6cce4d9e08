#pragma once

#include "engine/host.h"
#include "engine/result.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace main_window {

// A run on a thread of its own, so that no box or dialog the window shows holds it up.
// What the run tells its host is kept here until the window's thread takes it. The window
// is woken (`wake` is called on the run's thread and must only post) for the first word
// after a take, at most once an interval, and always for the run's end: a window flooded
// with posted messages would not get to the user's clicks (Windows hands posted messages
// out before input). A stop asked on the window's thread ends the run at its next pump.
class RunLink : private engine::Host {
public:
    using Work = std::function<engine::RunOutcome(engine::Host&)>;
    using Wake = std::function<void()>;

    // What the run said since the last take: only the latest status and progress matter.
    struct News {
        std::optional<std::string> status;
        std::optional<std::pair<std::int64_t, std::int64_t>> progress; // done, total
        std::vector<std::string> messages;
        std::optional<engine::RunOutcome> outcome; // set once the run has ended
    };

    static constexpr std::chrono::milliseconds defaultInterval{20};

    explicit RunLink(Wake wake, std::chrono::milliseconds interval = defaultInterval)
        : wake_(std::move(wake)), interval_(interval) {}
    // A run still going is stopped and waited for; the window is not woken any more.
    ~RunLink();
    RunLink(const RunLink&) = delete;
    RunLink& operator=(const RunLink&) = delete;

    // Window's thread. One run at a time: the previous one's outcome has been taken.
    void start(Work work);
    void stop() { stopAsked_ = true; }
    // Joins the run's thread once its outcome is in the news.
    News take();

private:
    void setStatus(const std::string& text) override;
    void showMessage(const std::string& text) override;
    void pumpEvents() override;
    void setProgress(std::int64_t done, std::int64_t total) override;
    template <typename Change> void tell(Change change, bool last = false);
    // Wakes the window for news it has not taken, when one is due; with newsMutex_ held.
    bool wakeDue(bool last);
    void wakeWindow();

    Wake wake_;
    std::thread thread_;
    std::atomic<bool> stopAsked_{false};
    std::mutex newsMutex_;
    News news_;
    bool fresh_ = false; // news the window has not taken
    bool woken_ = false; // a wake on its way
    std::chrono::milliseconds interval_;
    std::chrono::steady_clock::time_point lastWake_{};
    // Held while the window is woken, so that the destructor never races a wake.
    std::mutex wakeMutex_;
    bool closing_ = false;
};

} // namespace main_window
