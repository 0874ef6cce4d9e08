#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
// copies them: two helper threads, one per kind of hash, each reading the bytes on its
// own, mostly from the page cache the copy has just filled. So a split or a merge
// takes about as long as one hash of the whole file, not as the copy and two hashes
// one after another.
class SetHasher {
public:
    SetHasher(std::vector<std::string> files, std::vector<HashedRange> ranges);
    ~SetHasher();
    SetHasher(const SetHasher&) = delete;
    SetHasher& operator=(const SetHasher&) = delete;

    // Waits at most `wait` for both hashes; true when they are done.
    bool waitFor(std::chrono::milliseconds wait);
    // The results, once waitFor said done; rethrows the error a thread met.
    const std::vector<runtime::Sha256::Digest>& pieceHashes();
    const std::string& wholeHash();

private:
    void hashPieces();
    void hashWhole();
    void finished(std::exception_ptr error);
    void rethrow();

    std::vector<std::string> files_;
    std::vector<HashedRange> ranges_;
    std::vector<runtime::Sha256::Digest> pieceHashes_;
    std::string wholeHash_;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    int running_ = 0;
    std::exception_ptr error_;
    std::vector<std::thread> threads_;
};

// Waits until the hasher is done, letting the window handle its events meanwhile.
void waitForHashes(Host& host, SetHasher& hasher);

} // namespace engine
