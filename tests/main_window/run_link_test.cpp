// A run's news reaches the window at most once an interval, and its end always.
#include "main_window/run_link.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

using main_window::RunLink;

// Waits (at most seconds) until `wakes` reaches `count`.
bool reaches(const std::atomic<int>& wakes, int count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (wakes < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return wakes >= count;
}

// A word after a take within the interval waits (also through a pump); the end does not.
TEST(RunLink, WakesTheWindowOnceAnIntervalAndAlwaysForTheEnd) {
    const struct {
        const char* name;
        std::chrono::milliseconds interval;
        int wakesAfterTheSecondWord;
    } rows[] = {{"WithinTheInterval", std::chrono::hours(1), 1}, {"NoInterval", {}, 2}};
    for (const auto& row : rows) {
        std::atomic<int> wakes{0};
        RunLink link([&] { ++wakes; }, row.interval);
        std::promise<void> firstTaken, secondSaid, secondTaken;
        auto takenFirst = firstTaken.get_future();
        auto takenSecond = secondTaken.get_future();
        link.start([&](engine::Host& host) {
            host.setStatus("first");
            takenFirst.wait();
            host.setStatus("second");
            host.pumpEvents();
            secondSaid.set_value();
            takenSecond.wait();
            return engine::RunOutcome(std::string("done"));
        });
        ASSERT_TRUE(reaches(wakes, 1)) << row.name;
        EXPECT_EQ(link.take().status, "first") << row.name;
        firstTaken.set_value();
        secondSaid.get_future().wait();
        EXPECT_EQ(wakes, row.wakesAfterTheSecondWord) << row.name;
        EXPECT_EQ(link.take().status, "second") << row.name;
        secondTaken.set_value();
        ASSERT_TRUE(reaches(wakes, row.wakesAfterTheSecondWord + 1)) << row.name;
        EXPECT_TRUE(link.take().outcome.has_value()) << row.name;
    }
}

} // namespace
