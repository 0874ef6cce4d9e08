#include "engine/set_hasher.h"

#include "engine/pump_throttle.h"
#include "runtime/error.h"
#include "runtime/file.h"

#include <algorithm>
#include <functional>
#include <system_error>

namespace engine {

namespace {

// Large enough that a read costs little beside hashing it, small enough that the
// second hash finds the block still in the processor's cache.
constexpr std::size_t blockSize = 256 << 10;

struct Stopped {};

} // namespace

SetHasher::SetHasher(FileOpener& files, std::vector<std::string> paths,
                     std::vector<HashedRange> ranges)
    : files_(files), paths_(std::move(paths)), ranges_(std::move(ranges)),
      pieceHash_(std::make_unique<runtime::Sha256>()) {
    for (auto& block : ring_) {
        block.bytes = std::make_unique<char[]>(blockSize);
    }
    pieceHashes_.reserve(ranges_.size());
    threads_.reserve(2);
    // Where no thread is to be had, one thread (this one, at worst) does both hashes,
    // only slower.
    running_ = 2;
    bool piecesOnTheirOwn = true;
    try {
        threads_.emplace_back([this] { asHelper([this] { hashPieces(); }); });
    } catch (const std::system_error&) {
        piecesOnTheirOwn = false;
        running_ = 1;
    }
    const auto reader = [this, piecesOnTheirOwn] {
        asHelper([this, piecesOnTheirOwn] { readAndHashWhole(!piecesOnTheirOwn); });
    };
    try {
        threads_.emplace_back(reader);
    } catch (const std::system_error&) {
        reader();
    }
}

SetHasher::~SetHasher() {
    stop();
    for (auto& thread : threads_) {
        thread.join();
    }
}

// Runs a helper's work and records how it ended; an error stops the other helper too.
void SetHasher::asHelper(const std::function<void()>& work) {
    try {
        work();
        finished(nullptr);
    } catch (const Stopped&) {
        finished(nullptr);
    } catch (...) {
        stop();
        finished(std::current_exception());
    }
}

void SetHasher::readAndHashWhole(bool piecesHere) {
    runtime::Sha256 whole;
    std::unique_ptr<runtime::File> file;
    std::size_t open = paths_.size();
    for (std::size_t i = 0; i < ranges_.size(); ++i) {
        if (!file || open != ranges_[i].file) {
            open = ranges_[i].file;
            file = files_.open(paths_.at(open), FileOpener::Mode::Read);
        }
        auto left = static_cast<std::uint64_t>(ranges_[i].length);
        while (left > 0) {
            Block& block = piecesHere ? ring_.front() : freeBlock();
            block.size =
                file->read(block.bytes.get(),
                           static_cast<std::size_t>(std::min<std::uint64_t>(left, blockSize)));
            if (block.size == 0) {
                throw runtime::Error(runtime::ErrorNumber::InputPastEnd, file->path());
            }
            block.range = i;
            left -= block.size;
            if (piecesHere) {
                hashPieceBlock(block);
            } else {
                publish(); // the piece hash starts on the block while this one does
            }
            whole.update(block.bytes.get(), block.size);
        }
    }
    wholeHash_ = runtime::Sha256::hex(whole.finish());
    if (piecesHere) {
        finishPiecesUpTo(ranges_.size());
    }
    {
        const std::lock_guard lock(mutex_);
        readerDone_ = true;
    }
    blockFilled_.notify_all();
}

void SetHasher::hashPieces() {
    while (const Block* block = filledBlock()) {
        hashPieceBlock(*block);
        release();
    }
    finishPiecesUpTo(ranges_.size());
}

void SetHasher::hashPieceBlock(const Block& block) {
    finishPiecesUpTo(block.range);
    pieceHash_->update(block.bytes.get(), block.size);
}

// Ends every piece before `range` (an empty one included), in order.
void SetHasher::finishPiecesUpTo(std::size_t range) {
    while (pieceIndex_ < range) {
        pieceHashes_.push_back(pieceHash_->finish());
        pieceHash_ = std::make_unique<runtime::Sha256>();
        ++pieceIndex_;
    }
}

// The threads hand blocks over in batches: each one, once it has to wait, sleeps until
// half the ring is ready for it, so the two do not wake each other for every block.
SetHasher::Block& SetHasher::freeBlock() {
    std::unique_lock lock(mutex_);
    if (filled_ - freed_ == ringSize) {
        readerWaiting_ = true;
        blockFreed_.wait(lock,
                         [this] { return stopping_ || filled_ - freed_ <= ringSize - batch; });
        readerWaiting_ = false;
    }
    if (stopping_) {
        throw Stopped{};
    }
    return ring_[filled_ % ringSize];
}

void SetHasher::publish() {
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        ++filled_;
        wake = piecesWaiting_ && filled_ - freed_ >= batch;
    }
    if (wake) {
        blockFilled_.notify_one();
    }
}

// The next block to hash into its piece; nothing once the reader has read them all.
const SetHasher::Block* SetHasher::filledBlock() {
    std::unique_lock lock(mutex_);
    if (filled_ == freed_) {
        piecesWaiting_ = true;
        blockFilled_.wait(lock,
                          [this] { return stopping_ || filled_ - freed_ >= batch || readerDone_; });
        piecesWaiting_ = false;
    }
    if (stopping_) {
        throw Stopped{};
    }
    return filled_ > freed_ ? &ring_[freed_ % ringSize] : nullptr;
}

void SetHasher::release() {
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        ++freed_;
        wake = readerWaiting_ && filled_ - freed_ <= ringSize - batch;
    }
    if (wake) {
        blockFreed_.notify_one();
    }
}

void SetHasher::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    blockFilled_.notify_all();
    blockFreed_.notify_all();
}

void SetHasher::finished(std::exception_ptr error) {
    {
        const std::lock_guard lock(mutex_);
        --running_;
        if (error && !error_) {
            error_ = error;
        }
    }
    changed_.notify_all();
}

bool SetHasher::waitFor(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, wait, [this] { return running_ == 0; });
}

void SetHasher::rethrow() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return running_ == 0; });
    if (error_) {
        std::rethrow_exception(error_);
    }
}

const std::vector<runtime::Sha256::Digest>& SetHasher::pieceHashes() {
    rethrow();
    return pieceHashes_;
}

const std::string& SetHasher::wholeHash() {
    rethrow();
    return wholeHash_;
}

void waitForHashes(Host& host, SetHasher& hasher) {
    while (!hasher.waitFor(PumpThrottle::interval)) {
        host.pumpEvents();
    }
}

} // namespace engine
