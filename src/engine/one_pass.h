#pragma once

#include "engine/hand_off.h"
#include "runtime/hasher.h"

#include <array>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace engine {

// The hashes of a set: one per piece, in order, and one of all pieces as one file.
struct SetHashes {
    std::vector<std::string> pieces; // in hexadecimal, as checksum files write them
    std::string whole;
};

// Which of a set's hashes a pass computes: a split writes both, a merge needs only the one
// its list can check (the whole file's, where the list has it).
struct HashesWanted {
    bool whole = false;
    bool pieces = false;

    static HashesWanted both() { return {true, true}; }
    bool any() const { return whole || pieces; }
};

// The buffers of one pass over a set's bytes. Each block is read once into a buffer of a
// small ring, written from that buffer and hashed from it, so what the hashes describe is
// exactly what was written. While the run's thread reads and writes, one helper thread
// hashes each block into the whole file's hash and hands it on to another, which hashes it
// into its piece's hash and gives the buffer back: a split costs about one hash of the
// file on two cores. With one hash wanted, one helper; without hashing, one buffer.
//
// Threads: nextFree, filled and finish are called from the run's thread only; each helper
// touches nothing but the blocks handed to it and the hash it keeps. Where no helper
// thread can be had, the run's thread hashes each block itself.
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
    using Waiting = HandOff<Block*>::Waiting;

    // onHelpers = false hashes on the run's thread, as when no thread can be had.
    OnePass(std::size_t pieceCount, HashesWanted wanted, bool onHelpers = true,
            runtime::HashKind kind = runtime::HashKind::Sha256);
    ~OnePass();
    OnePass(const OnePass&) = delete;
    OnePass& operator=(const OnePass&) = delete;

    // A buffer to read the next block into, once the hashes are done with it.
    Block& nextFree(const Waiting& waiting);
    // Hands the block nextFree gave, now filled, on to the hashes.
    void filled();
    // After the last block: the hashes wanted (the others empty); rethrows a helper's error.
    SetHashes finish(const Waiting& waiting);

private:
    static constexpr std::size_t ringSize = 8;

    enum class Stage { Whole, Pieces };

    void runStage(std::size_t index);
    void failAll(std::exception_ptr error);
    void hash(Stage stage, const Block& block);
    void finishStage(Stage stage);
    void hashPiece(const Block& block);
    void finishPiecesUpTo(std::size_t piece);

    std::size_t pieceCount_;
    bool hashing_;
    std::vector<Stage> stages_;
    bool onHelpers_ = false;
    std::array<Block, ringSize> ring_;
    std::unique_ptr<char[], void (*)(char*)> memory_;
    Block* current_ = nullptr;

    runtime::HashKind kind_;
    runtime::Hasher whole_;
    std::unique_ptr<runtime::Hasher> piece_;
    std::size_t pieceIndex_ = 0;
    SetHashes hashes_;

    // A block goes round: free → (read, written) → each stage's input in turn → free.
    // handOffs_[0] holds the free blocks, handOffs_[i + 1] the input of stage i.
    std::vector<std::unique_ptr<HandOff<Block*>>> handOffs_;
    std::vector<std::jthread> helpers_;
};

} // namespace engine
