#include "engine/one_pass.h"
#include "engine/pump_throttle.h"
#include "recording_host.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct PassCase {
    const char* name;
    std::vector<std::size_t> pieces; // lengths
    std::size_t block;               // bytes handed over at a time, at most blockSize
    bool onHelpers;
    engine::HashesWanted wanted = engine::HashesWanted::both();
};

void PrintTo(const PassCase& c, std::ostream* os) {
    *os << c.name;
}

std::string hexOf(const std::string& bytes) {
    runtime::Hasher hash;
    hash.update(bytes.data(), bytes.size());
    return hash.finish();
}

class OnePassHashes : public ::testing::TestWithParam<PassCase> {};

// Whichever thread hashes, each piece's hash is of its own bytes and the whole hash is of
// all of them, across many laps of the ring, empty pieces included.
TEST_P(OnePassHashes, AreThoseOfTheBytesHandedOver) {
    const auto& c = GetParam();
    engine::OnePass pass(c.pieces.size(), c.wanted, c.onHelpers);
    std::string all;
    std::vector<std::string> expected;
    std::uint32_t seed = 1;
    for (std::size_t k = 0; k < c.pieces.size(); ++k) {
        const std::string bytes = testing_support::randomBytes(c.pieces[k], seed++);
        for (std::size_t at = 0; at < bytes.size(); at += c.block) {
            engine::OnePass::Block& block = pass.nextFree([] {});
            block.size = std::min(c.block, bytes.size() - at);
            std::copy_n(bytes.data() + at, block.size, block.bytes);
            block.piece = k;
            pass.filled();
        }
        expected.push_back(hexOf(bytes));
        all += bytes;
    }
    const engine::SetHashes hashes = pass.finish([] {});
    // A hash not wanted is not computed.
    if (!c.wanted.pieces) {
        expected.clear();
    }
    ASSERT_EQ(hashes.pieces.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(hashes.pieces[k], expected[k]) << "piece " << k + 1;
    }
    EXPECT_EQ(hashes.whole, c.wanted.whole ? hexOf(all) : "");
}

constexpr std::size_t full = engine::OnePass::blockSize;

INSTANTIATE_TEST_SUITE_P(
    Table, OnePassHashes,
    ::testing::Values(PassCase{"ManyLapsOfTheRing", {40 * full + 7, 3 * full, 1}, full, true},
                      PassCase{"SmallBlocks", {100'000, 99'999, 5}, 1000, true},
                      PassCase{"OnTheRunsThread", {5 * full + 3, 2 * full, 10}, full, false},
                      PassCase{"EmptyPieceInTheMiddle", {3 * full, 0, 17}, full, true},
                      PassCase{"EmptyPieceOnTheRunsThread", {2 * full, 0, 17}, full, false},
                      PassCase{"EmptyLastPiece", {full + 1, 0}, full, true},
                      PassCase{"OnePiece", {12345}, full, true},
                      PassCase{"WholeOnly", {9 * full, 3, 0}, full, true, {true, false}},
                      PassCase{"PiecesOnly", {9 * full, 3, 0}, full, true, {false, true}},
                      PassCase{"PiecesOnlyOnTheRunsThread", {full, 3}, full, false, {false, true}}),
    [](const auto& info) { return std::string(info.param.name); });

// The window is pumped once the interval has passed since the last pump, not before: time
// is the test's own.
TEST(PumpThrottle, IsDueOnceTheIntervalHasPassedSinceTheLastPump) {
    using namespace std::chrono_literals;
    auto now = engine::PumpThrottle::Clock::time_point{};
    testing_support::RecordingHost host;
    engine::PumpThrottle pump(host, [&] { return now; });
    const std::pair<std::chrono::milliseconds, bool> steps[] = {
        {0ms, false}, {19ms, false}, {1ms, true}, {25ms, true}};
    for (const auto& [passes, due] : steps) {
        now += passes;
        EXPECT_EQ(pump.due(), due) << passes.count();
    }
    pump.pumpNow();
    EXPECT_EQ(host.pumps, 1);
    EXPECT_FALSE(pump.due());
    now += engine::PumpThrottle::interval;
    EXPECT_TRUE(pump.due());
}

} // namespace
