#include "engine/one_pass.h"

#include "engine/pump_throttle.h"

#include <algorithm>
#include <new>
#include <system_error>

namespace engine {

namespace {

// Page-aligned like the page cache the blocks are copied to and from.
constexpr std::align_val_t pageAlignment{4096};

char* alignedBytes(std::size_t size) {
    return static_cast<char*>(::operator new[](size, pageAlignment));
}

void freeAligned(char* bytes) {
    ::operator delete[](bytes, pageAlignment);
}

} // namespace

OnePass::OnePass(std::size_t pieceCount, bool hashing, bool onHelpers, runtime::HashKind kind)
    : pieceCount_(pieceCount), hashing_(hashing),
      memory_(alignedBytes((hashing && onHelpers ? ringSize : 1) * blockSize), freeAligned),
      kind_(kind), whole_(kind), piece_(std::make_unique<runtime::Hasher>(kind)) {
    for (std::size_t i = 0; i < ringSize; ++i) {
        ring_[i].bytes = memory_.get() + (hashing && onHelpers ? i * blockSize : 0);
    }
    hashes_.pieces.reserve(hashing_ ? pieceCount_ : 0);
    if (!hashing_ || !onHelpers) {
        return;
    }
    try {
        for (const Helper helper : {Whole, Pieces}) {
            helpers_.emplace_back([this, helper] { hashBlocks(helper); });
        }
        onHelpers_ = true;
    } catch (const std::system_error&) {
        // No thread to be had: the run's thread hashes each block itself, only slower.
        stopHelpers();
        helpers_.clear();
    }
}

OnePass::~OnePass() {
    stopHelpers();
    // The helpers end at their next wait; the jthreads join them.
}

void OnePass::stopHelpers() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    forHelpers_.notify_all();
}

std::uint64_t OnePass::slowestDone() const {
    return std::min(done_[Whole], done_[Pieces]);
}

void OnePass::rethrowLocked() {
    if (error_) {
        std::rethrow_exception(error_);
    }
}

OnePass::Block& OnePass::nextFree(const Waiting& waiting) {
    if (!onHelpers_) {
        return ring_[0];
    }
    std::unique_lock lock(mutex_);
    for (;;) {
        rethrowLocked();
        if (filled_ - slowestDone() < ringSize) {
            return ring_[filled_ % ringSize];
        }
        runWaiting_ = true;
        const bool freed = forRun_.wait_for(lock, PumpThrottle::interval, [this] {
            return error_ || filled_ - slowestDone() <= ringSize - batch;
        });
        runWaiting_ = false;
        if (!freed) {
            lock.unlock();
            waiting();
            lock.lock();
        }
    }
}

void OnePass::filled() {
    if (!hashing_) {
        return;
    }
    if (!onHelpers_) {
        hashWhole(ring_[0]);
        hashPiece(ring_[0]);
        return;
    }
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        ++filled_;
        for (const Helper helper : {Whole, Pieces}) {
            wake = wake || (helperWaiting_[helper] && filled_ - done_[helper] >= batch);
        }
    }
    if (wake) {
        forHelpers_.notify_all();
    }
}

void OnePass::hashBlocks(Helper helper) {
    std::unique_lock lock(mutex_);
    try {
        for (;;) {
            helperWaiting_[helper] = true;
            forHelpers_.wait(
                lock, [&] { return stopping_ || filled_ - done_[helper] >= batch || lastFilled_; });
            helperWaiting_[helper] = false;
            if (stopping_) {
                break; // the run ended early, or the other helper failed
            }
            const std::uint64_t from = done_[helper];
            const std::uint64_t to = filled_;
            if (from == to) {
                lock.unlock();
                if (helper == Whole) {
                    hashes_.whole = whole_.finish();
                } else {
                    finishPiecesUpTo(pieceCount_);
                }
                lock.lock();
                break;
            }
            lock.unlock();
            for (std::uint64_t i = from; i < to; ++i) {
                const Block& block = ring_[i % ringSize];
                helper == Whole ? hashWhole(block) : hashPiece(block);
            }
            lock.lock();
            done_[helper] = to;
            if (runWaiting_ && filled_ - slowestDone() <= ringSize - batch) {
                forRun_.notify_all();
            }
        }
    } catch (...) {
        if (!lock.owns_lock()) {
            lock.lock();
        }
        if (!error_) {
            error_ = std::current_exception();
        }
        stopping_ = true;
        forHelpers_.notify_all();
    }
    helperEnded_[helper] = true;
    forRun_.notify_all();
}

void OnePass::hashWhole(const Block& block) {
    whole_.update(block.bytes, block.size);
}

void OnePass::hashPiece(const Block& block) {
    finishPiecesUpTo(block.piece);
    piece_->update(block.bytes, block.size);
}

// Ends every piece before `piece` (an empty one included), in order.
void OnePass::finishPiecesUpTo(std::size_t piece) {
    while (pieceIndex_ < piece) {
        hashes_.pieces.push_back(piece_->finish());
        piece_ = std::make_unique<runtime::Hasher>(kind_);
        ++pieceIndex_;
    }
}

SetHashes OnePass::finish(const Waiting& waiting) {
    if (!hashing_) {
        return {};
    }
    if (!onHelpers_) {
        hashes_.whole = whole_.finish();
        finishPiecesUpTo(pieceCount_);
        return std::move(hashes_);
    }
    std::unique_lock lock(mutex_);
    lastFilled_ = true;
    forHelpers_.notify_all();
    while (!forRun_.wait_for(lock, PumpThrottle::interval,
                             [this] { return helperEnded_[Whole] && helperEnded_[Pieces]; })) {
        lock.unlock();
        waiting();
        lock.lock();
    }
    rethrowLocked();
    return std::move(hashes_);
}

} // namespace engine
