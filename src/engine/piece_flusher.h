#pragma once

#include "engine/file_opener.h"
#include "engine/hand_off.h"
#include "engine/host.h"

#include <memory>
#include <string>
#include <thread>
#include <variant>

namespace engine {

// Makes the pieces a split wrote durable before a script or a checksum file vouches for
// them, without holding up the copy: where the platform can flush a whole file system,
// each piece is closed as it is done and one flush at the end writes them all through
// (one journal commit instead of one per piece); elsewhere a helper thread flushes and
// closes each piece while the next is copied.
//
// Threads: written and finish are called from the run's thread, and their waits keep the
// window live; the helper touches only the pieces handed to it. A run that ends early
// waits for the one flush under way, not for the pieces still queued: they are closed
// unflushed, and the run removes them.
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

    Host& host_;
    FileOpener& files_;
    std::string folder_;
    bool wholeFileSystem_;
    HandOff<std::unique_ptr<runtime::File>>::Waiting pump_;

    HandOff<std::unique_ptr<runtime::File>> queue_{mostWaiting};
    // Closed by the helper once every piece handed to it is flushed; failed with its error.
    HandOff<std::monostate> flushed_{1};
    std::jthread helper_;
};

} // namespace engine
