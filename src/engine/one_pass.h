#pragma once

#include "runtime/hasher.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace engine {

// The hashes of a set: one per piece, in order, and one of all pieces as one file.
struct SetHashes {
    std::vector<std::string> pieces; // in hexadecimal, as checksum files write them
    std::string whole;
};

// The buffers of one pass over a set's bytes. Each block is read once into a buffer of a
// small ring, written from that buffer and hashed from it, so what the hashes describe is
// exactly what was written. While the run's thread reads and writes, one helper thread
// hashes each block into the whole file's hash and another into its piece's hash, so a
// split costs about one hash of the file on two cores. Without hashing, one buffer.
//
// Threads: nextFree, filled and finish are called from the run's thread only; the two
// helper threads touch nothing but the blocks handed to them and the hashes they keep.
// Where no helper thread can be had, the run's thread hashes each block itself.
class OnePass {
public:
    // Large enough that a read or a write costs little beside hashing it, small enough
    // that the hashes find the block still in the processor's cache.
    static constexpr std::size_t blockSize = 256 << 10;

    struct Block {
        char* bytes = nullptr;
        std::size_t size = 0;
        std::size_t piece = 0; // 0-based: a block holds the bytes of one piece only
    };
    // Called while the run's thread waits for the helpers, every few milliseconds, to keep
    // the window live; a host's RunCancelled passes through it.
    using Waiting = std::function<void()>;

    // onHelpers = false hashes on the run's thread, as when no thread can be had.
    OnePass(std::size_t pieceCount, bool hashing, bool onHelpers = true,
            runtime::HashKind kind = runtime::HashKind::Sha256);
    ~OnePass();
    OnePass(const OnePass&) = delete;
    OnePass& operator=(const OnePass&) = delete;

    // A buffer to read the next block into, once the hashes are done with it.
    Block& nextFree(const Waiting& waiting);
    // Hands the block nextFree gave, now filled, on to the hashes.
    void filled();
    // After the last block: the hashes (empty without hashing); rethrows a helper's error.
    SetHashes finish(const Waiting& waiting);

private:
    static constexpr std::size_t ringSize = 8;
    // Blocks each side waits for once it has to wait, so the threads do not wake each
    // other for every block.
    static constexpr std::size_t batch = ringSize / 2;
    enum Helper { Whole = 0, Pieces = 1 };

    void hashBlocks(Helper helper);
    void stopHelpers();
    void hashWhole(const Block& block);
    void hashPiece(const Block& block);
    void finishPiecesUpTo(std::size_t piece);
    std::uint64_t slowestDone() const;
    void rethrowLocked();

    std::size_t pieceCount_;
    bool hashing_;
    bool onHelpers_ = false;
    std::array<Block, ringSize> ring_;
    std::unique_ptr<char[], void (*)(char*)> memory_;

    runtime::HashKind kind_;
    runtime::Hasher whole_;
    std::unique_ptr<runtime::Hasher> piece_;
    std::size_t pieceIndex_ = 0;
    SetHashes hashes_;

    std::mutex mutex_;
    std::condition_variable forHelpers_;
    std::condition_variable forRun_;
    std::uint64_t filled_ = 0;
    std::array<std::uint64_t, 2> done_{};
    std::array<bool, 2> helperWaiting_{};
    std::array<bool, 2> helperEnded_{};
    bool runWaiting_ = false;
    bool lastFilled_ = false;
    std::exception_ptr error_;
    // Set under the mutex when the run ended early or a helper failed. A flag rather than
    // a stop token: waiting on a stop token deadlocks now and then where the standard
    // library has no futex (MinGW's, before GCC 13).
    bool stopping_ = false;
    std::vector<std::jthread> helpers_;
};

} // namespace engine
