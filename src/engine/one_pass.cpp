#include "engine/one_pass.h"

#include <new>
#include <stdexcept>
#include <system_error>
#include <utility>

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

OnePass::OnePass(std::size_t pieceCount, HashesWanted wanted, bool onHelpers,
                 runtime::HashKind kind)
    : pieceCount_(pieceCount), hashing_(wanted.any()),
      memory_(alignedBytes((hashing_ && onHelpers ? ringSize : 1) * blockSize), freeAligned),
      kind_(kind), whole_(kind), piece_(std::make_unique<runtime::Hasher>(kind)) {
    for (std::size_t i = 0; i < ringSize; ++i) {
        ring_[i].bytes = memory_.get() + (hashing_ && onHelpers ? i * blockSize : 0);
    }
    if (wanted.whole) {
        stages_.push_back(Stage::Whole);
    }
    if (wanted.pieces) {
        stages_.push_back(Stage::Pieces);
        hashes_.pieces.reserve(pieceCount_);
    }
    if (!hashing_ || !onHelpers) {
        return;
    }
    for (std::size_t i = 0; i <= stages_.size(); ++i) {
        handOffs_.push_back(std::make_unique<HandOff<Block*>>(ringSize));
    }
    for (Block& block : ring_) {
        handOffs_.front()->put(&block);
    }
    try {
        for (std::size_t i = 0; i < stages_.size(); ++i) {
            helpers_.emplace_back([this, i] { runStage(i); });
        }
        onHelpers_ = true;
    } catch (const std::system_error&) {
        // No thread to be had: the run's thread hashes each block itself, only slower.
        failAll(nullptr);
        helpers_.clear();
    }
}

OnePass::~OnePass() {
    // The helpers end at their next wait; the jthreads join them.
    failAll(nullptr);
}

// Ends every hand-off: with an error when a helper failed, or stopped when the run ends.
void OnePass::failAll(std::exception_ptr error) {
    for (const auto& handOff : handOffs_) {
        error ? handOff->fail(error) : handOff->stop();
    }
}

OnePass::Block& OnePass::nextFree(const Waiting& waiting) {
    if (!onHelpers_) {
        return ring_[0];
    }
    const std::optional<Block*> free = handOffs_.front()->take(waiting);
    if (!free) {
        throw std::logic_error("OnePass: a block was asked for after the pass ended");
    }
    current_ = *free;
    return *current_;
}

void OnePass::filled() {
    if (!hashing_) {
        return;
    }
    if (!onHelpers_) {
        for (const Stage stage : stages_) {
            hash(stage, ring_[0]);
        }
        return;
    }
    // Never waits: no more blocks exist than the hand-off holds.
    handOffs_[1]->put(std::exchange(current_, nullptr));
}

void OnePass::runStage(std::size_t index) {
    HandOff<Block*>& in = *handOffs_[index + 1];
    HandOff<Block*>& out = *handOffs_[(index + 2) % handOffs_.size()];
    try {
        while (const std::optional<Block*> block = in.take()) {
            hash(stages_[index], **block);
            out.put(static_cast<Block*>(*block));
        }
        finishStage(stages_[index]);
        out.close();
    } catch (...) {
        failAll(std::current_exception());
    }
}

void OnePass::hash(Stage stage, const Block& block) {
    if (stage == Stage::Whole) {
        whole_.update(block.bytes, block.size);
    } else {
        hashPiece(block);
    }
}

void OnePass::finishStage(Stage stage) {
    if (stage == Stage::Whole) {
        hashes_.whole = whole_.finish();
    } else {
        finishPiecesUpTo(pieceCount_);
    }
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
        for (const Stage stage : stages_) {
            finishStage(stage);
        }
        return std::move(hashes_);
    }
    // The end goes round the ring behind the last block: once the free blocks' hand-off
    // is closed, every stage is done.
    handOffs_[1]->close();
    while (handOffs_.front()->take(waiting)) {
    }
    return std::move(hashes_);
}

} // namespace engine
