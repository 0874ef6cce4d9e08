#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/file_opener.h"
#include "engine/host.h"
#include "runtime/sha256.h"

namespace engine {

// A piece's bytes: `length` bytes of one of the hasher's files, following on from where
// the range before it ended when that was in the same file (the split's pieces are
// ranges of one source; the merge's are whole files).
struct HashedRange {
    std::size_t file = 0;
    std::int64_t length = 0;
};

// Hashes a set's pieces, each on its own and all of them as one file, while the run
// copies them. One helper thread reads each block once and hashes it into the whole
// file's hash while a second one hashes the same block into its piece's hash, so the
// two hashes share one core each and the bytes leave the page cache once. A split or
// a merge then takes about as long as one hash of the whole file, not as the copy and
// two hashes one after another.
class SetHasher {
public:
    // Files are opened through `files`, which must outlive the hasher.
    SetHasher(FileOpener& files, std::vector<std::string> paths, std::vector<HashedRange> ranges);
    ~SetHasher();
    SetHasher(const SetHasher&) = delete;
    SetHasher& operator=(const SetHasher&) = delete;

    // Waits at most `wait` for both hashes; true when they are done.
    bool waitFor(std::chrono::milliseconds wait);
    // The results, once waitFor said done; rethrows the error a thread met.
    const std::vector<runtime::Sha256::Digest>& pieceHashes();
    const std::string& wholeHash();

private:
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
        std::size_t range = 0;
    };
    // Blocks read ahead of the piece hash: enough to even out the two threads' pace.
    static constexpr std::size_t ringSize = 8;
    static constexpr std::size_t batch = ringSize / 2;

    void asHelper(const std::function<void()>& work);
    void readAndHashWhole(bool piecesHere);
    void hashPieces();
    void hashPieceBlock(const Block& block);
    void finishPiecesUpTo(std::size_t range);
    Block& freeBlock();
    void publish();
    const Block* filledBlock();
    void release();
    void stop();
    void finished(std::exception_ptr error);
    void rethrow();

    FileOpener& files_;
    std::vector<std::string> paths_;
    std::vector<HashedRange> ranges_;

    std::array<Block, ringSize> ring_;
    std::uint64_t filled_ = 0; // blocks the reader has handed on
    std::uint64_t freed_ = 0;  // blocks the piece hash is done with
    bool readerDone_ = false;
    bool readerWaiting_ = false;
    bool piecesWaiting_ = false;
    bool stopping_ = false;
    std::condition_variable blockFilled_;
    std::condition_variable blockFreed_;

    std::unique_ptr<runtime::Sha256> pieceHash_;
    std::size_t pieceIndex_ = 0;
    std::vector<runtime::Sha256::Digest> pieceHashes_;
    std::string wholeHash_;

    std::mutex mutex_;
    std::condition_variable changed_;
    int running_ = 0;
    std::exception_ptr error_;
    std::vector<std::thread> threads_;
};

// Waits until the hasher is done, letting the window handle its events meanwhile.
void waitForHashes(Host& host, SetHasher& hasher);

} // namespace engine
