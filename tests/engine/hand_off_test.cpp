#include "engine/hand_off.h"
#include "engine/host.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

namespace {

using Queue = engine::HandOff<std::string>;

enum class Ending { Close, Fail, Stop };

struct EndingCase {
    const char* name;
    Ending ending;
    const char* takes;    // what the takers get after the ending: items, "end" or "error"
    const char* putAfter; // what a put after the ending does: "refused", "error" or "-"
};

void PrintTo(const EndingCase& c, std::ostream* os) {
    *os << c.name;
}

void end(Queue& queue, Ending ending) {
    switch (ending) {
    case Ending::Close:
        queue.close();
        break;
    case Ending::Fail:
        queue.fail(std::make_exception_ptr(std::runtime_error("disk gone")));
        break;
    case Ending::Stop:
        queue.stop();
        break;
    }
}

// Takes until the queue gives nothing or throws, naming each result.
std::string takeAll(Queue& queue) {
    std::string got;
    for (;;) {
        try {
            const std::optional<std::string> item = queue.take();
            got += item ? *item + " " : "end";
            if (!item) {
                return got;
            }
        } catch (const std::runtime_error&) {
            return got + "error";
        }
    }
}

// Returns once a helper sleeps in the queue (a hang here fails by the watchdog).
void untilAsleep(Queue& queue) {
    while (queue.waiters() == 0) {
        std::this_thread::yield();
    }
}

class HandOffEnding : public ::testing::TestWithParam<EndingCase> {};

// Two items queued, then the ending; then what takers and putters meet.
TEST_P(HandOffEnding, DecidesWhatTakersAndPuttersMeet) {
    const auto& c = GetParam();
    Queue queue(4);
    queue.put("piece1");
    queue.put("piece2");
    end(queue, c.ending);
    EXPECT_EQ(takeAll(queue), c.takes);
    std::string late = "piece3";
    std::string putAfter = "-";
    try {
        if (!queue.put(std::move(late))) {
            putAfter = "refused";
        }
    } catch (const std::runtime_error&) {
        putAfter = "error";
    }
    if (c.ending != Ending::Close) {
        EXPECT_EQ(putAfter, c.putAfter);
    }
    if (putAfter == "refused") {
        EXPECT_EQ(late, "piece3") << "a refused item is the putter's to undo";
    }
}

INSTANTIATE_TEST_SUITE_P(Table, HandOffEnding,
                         ::testing::Values(EndingCase{"CloseHandsOutWhatIsQueuedThenNothing",
                                                      Ending::Close, "piece1 piece2 end", "-"},
                                           EndingCase{"FailHandsOutWhatWasQueuedBeforeThenTheError",
                                                      Ending::Fail, "piece1 piece2 error", "error"},
                                           EndingCase{"StopHandsOutNothingAndRefusesMore",
                                                      Ending::Stop, "end", "refused"}),
                         [](const auto& info) { return std::string(info.param.name); });

// What a stop leaves queued is the owner's to undo.
TEST(HandOff, AStopLeavesWhatWasQueuedToTheOwner) {
    Queue queue(4);
    queue.put("made ahead");
    queue.stop();
    const std::deque<std::string> left = queue.takeLeft();
    ASSERT_EQ(left.size(), 1U);
    EXPECT_EQ(left.front(), "made ahead");
}

// The window's thread waits only while it pumps: a put into a full queue and a take from
// an empty one call `waiting` until the other side moves (here `waiting` moves it itself),
// and a RunCancelled from it passes through, leaving the queue usable.
TEST(HandOff, AWaitOnTheWindowsThreadPumpsAndLetsACancelThrough) {
    Queue queue(1);
    queue.put("first");
    int pumps = 0;
    EXPECT_TRUE(queue.put("second", [&] {
        ++pumps;
        EXPECT_EQ(queue.take(), "first");
    }));
    EXPECT_EQ(pumps, 1);
    EXPECT_EQ(queue.take(), "second");
    EXPECT_EQ(queue.take([&] { queue.put("late"); }), "late");
    EXPECT_THROW(queue.take([] { throw engine::RunCancelled{}; }), engine::RunCancelled);
    queue.put("after the cancel");
    EXPECT_EQ(queue.take(), "after the cancel");
}

// A helper asleep in a wait (no pumping) is woken by every ending and by an item.
TEST_P(HandOffEnding, WakesAHelperAsleepInATake) {
    const auto& c = GetParam();
    Queue queue(1);
    std::string got;
    std::jthread helper([&] { got = takeAll(queue); });
    untilAsleep(queue);
    end(queue, c.ending);
    helper.join(); // a missed wake-up hangs here, and the watchdog fails the test
    EXPECT_EQ(got, c.ending == Ending::Fail ? "error" : "end");
}

TEST(HandOff, WakesAHelperAsleepInAPutOnceThereIsRoom) {
    Queue queue(1);
    queue.put("first");
    std::jthread helper([&] { queue.put("second"); });
    untilAsleep(queue);
    EXPECT_EQ(queue.take(), "first");
    helper.join();
    EXPECT_EQ(queue.take(), "second");
}

} // namespace
