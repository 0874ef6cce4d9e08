#pragma once

#include "engine/file_opener.h"
#include "engine/host.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace engine {

// Makes the pieces a split wrote durable before a script or a checksum file vouches for
// them, without holding up the copy: where the platform can flush a whole file system,
// each piece is closed as it is done and one flush at the end writes them all through
// (one journal commit instead of one per piece); elsewhere a helper thread flushes and
// closes each piece while the next is copied.
//
// Threads: written and finish are called from the run's thread; the helper touches only
// the pieces handed to it.
class PieceFlusher {
public:
    PieceFlusher(Host& host, FileOpener& files, std::string folderPrefix);
    ~PieceFlusher();
    PieceFlusher(const PieceFlusher&) = delete;
    PieceFlusher& operator=(const PieceFlusher&) = delete;

    // Takes a piece whose bytes are all written.
    void written(std::unique_ptr<runtime::File> piece);
    // Returns once every piece is on the disk; throws the first error met.
    void finish();

private:
    // Pieces open at once while they wait for their flush.
    static constexpr std::size_t mostWaiting = 8;

    void flushQueued();
    void waitUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& done);

    Host& host_;
    FileOpener& files_;
    std::string folder_;
    bool wholeFileSystem_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<runtime::File>> queue_;
    bool busy_ = false;
    bool stopping_ = false; // a flag, not a stop token: see OnePass
    std::exception_ptr error_;
    std::jthread helper_;
};

} // namespace engine
