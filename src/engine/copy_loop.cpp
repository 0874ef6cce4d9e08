#include "engine/copy_loop.h"

#include "engine/pump_throttle.h"
#include "engine/split_run.h"
#include "runtime/error.h"
#include "runtime/number_text.h"

#include <algorithm>

namespace engine {

namespace {
constexpr std::int64_t writebackChunk = 8 << 20;
} // namespace

CopyLoop::CopyLoop(Host& host, runtime::File& shared, Direction direction, HashesWanted hashes,
                   std::string changedText, runtime::HashKind kind)
    : host_(host), shared_(shared), direction_(direction), changedText_(std::move(changedText)),
      wanted_(hashes), kind_(kind) {}

void CopyLoop::run(int count, std::int64_t total, const OpenStep& openStep,
                   const DoneStep& doneStep) {
    pass_ = std::make_unique<OnePass>(static_cast<std::size_t>(count), wanted_, true, kind_);
    std::int64_t done = 0;
    for (int k = 1; k <= count; ++k) {
        Step step = openStep(k);
        runtime::File& own = *step.file;
        if (direction_ == Direction::SharedToSteps) {
            copyStep(shared_, own, step.length, k, done, total);
        } else {
            copyStep(own, shared_, step.length, k, done, total);
        }
        const std::string path = own.path();
        doneStep(k, std::move(step.file));
        done += step.length;
        host_.setProgress(done, total);
        host_.setStatus(split_text::processing + path + "  " + runtime::percentText(k, count));
        host_.pumpEvents();
    }
}

void CopyLoop::copyStep(runtime::File& from, runtime::File& to, std::int64_t length, int step,
                        std::int64_t doneBefore, std::int64_t total) {
    const runtime::File& own = direction_ == Direction::SharedToSteps ? to : from;
    PumpThrottle pump(host_);
    const auto keepLive = [&] { pump.pumpNow(); };
    auto left = static_cast<std::uint64_t>(length);
    if (direction_ == Direction::SharedToSteps) {
        notWrittenBack_ = 0; // each piece's own writeback starts once it is done
    }
    while (left > 0) {
        OnePass::Block& block = pass_->nextFree(keepLive);
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(left, OnePass::blockSize));
        std::size_t got = 0;
        while (got < want) {
            const std::size_t n = from.read(block.bytes + got, want - got);
            if (n == 0) {
                throw runtime::Error(runtime::ErrorNumber::InvalidArgument, changedText_,
                                     from.path());
            }
            got += n;
        }
        block.size = got;
        block.piece = static_cast<std::size_t>(step - 1);
        pass_->filled(); // the hashes start on it while it is written
        to.writeAll(block.bytes, got);
        left -= got;
        // The disk starts on what is written while the rest is still being copied, so the
        // flush at the end has little left to wait for.
        notWrittenBack_ += static_cast<std::int64_t>(got);
        if (notWrittenBack_ >= writebackChunk) {
            to.startWriteback();
            notWrittenBack_ = 0;
        }
        if (pump.due()) {
            // A large piece is named while it is copied, not only once it is done.
            const std::int64_t done = doneBefore + length - static_cast<std::int64_t>(left);
            host_.setProgress(done, total);
            host_.setStatus(split_text::processing + own.path() + "  " +
                            runtime::percentText(done, total));
            pump.pumpNow();
        }
    }
}

SetHashes CopyLoop::hashes() {
    return pass_->finish([this] { host_.pumpEvents(); });
}

} // namespace engine
