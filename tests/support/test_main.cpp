// The main of every GoogleTest suite: GoogleTest's own, with a watchdog, so that a test
// that hangs fails on its own after a while, naming itself, instead of stalling the run.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Seconds one test may take; SPLITTER_TEST_TIME_FACTOR scales it for slow builds
// (the sanitizers') and slow hosts (wine).
std::chrono::seconds allowance() {
    double factor = 1;
    if (const char* text = std::getenv("SPLITTER_TEST_TIME_FACTOR")) {
        factor = std::max(1.0, std::atof(text));
    }
    return std::chrono::seconds(static_cast<long long>(30 * factor));
}

class Watchdog : public ::testing::EmptyTestEventListener {
public:
    // Returns once the thread runs: a sanitizer sets a new thread up with files of its own
    // open for a moment (/proc/self/maps), which a test counting open files must not see.
    Watchdog() : limit_(allowance()), thread_([this] { watch(); }) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return started_; });
    }
    ~Watchdog() override {
        {
            const std::lock_guard lock(mutex_);
            ended_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    void OnTestStart(const ::testing::TestInfo& test) override {
        const std::lock_guard lock(mutex_);
        const std::string suite = test.test_suite_name();
        name_ = suite + "." + test.name();
        // A suite named Slow... moves gigabytes on purpose and gets four times as long.
        deadline_ = Clock::now() + limit_ * (suite.rfind("Slow", 0) == 0 ? 4 : 1);
        changed_.notify_all();
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        const std::lock_guard lock(mutex_);
        deadline_.reset();
    }

private:
    void watch() {
        std::unique_lock lock(mutex_);
        started_ = true;
        changed_.notify_all();
        while (!ended_) {
            if (!deadline_) {
                changed_.wait(lock);
            } else if (changed_.wait_until(lock, *deadline_) == std::cv_status::timeout &&
                       deadline_ && Clock::now() >= *deadline_) {
                std::fprintf(stderr, "\n%s did not end in time: it hangs.\n", name_.c_str());
                std::fflush(stderr);
                std::_Exit(1);
            }
        }
    }

    std::chrono::seconds limit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Clock::time_point> deadline_;
    std::string name_;
    bool ended_ = false;
    bool started_ = false;
    std::thread thread_;
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The watchdog is a thread: death tests start a fresh process rather than fork this one.
    ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
    // Listing the tests (CTest's discovery) runs none and needs no watch.
    if (!::testing::GTEST_FLAG(list_tests)) {
        ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
    }
    return RUN_ALL_TESTS();
}
