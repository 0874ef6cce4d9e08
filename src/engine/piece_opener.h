#pragma once

#include "engine/file_opener.h"
#include "engine/piece_plan.h"
#include "runtime/file.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace engine {

// Opens a plan's piece files on a helper thread, a few pieces ahead of the copy, so the
// file system's cost of making each file (most of a split into small pieces) overlaps
// the copying of the piece before it.
//
// Nothing is lost by opening early: a file that already exists is opened without being
// cut, and is cut only when its piece is taken. When the run ends early, files made
// ahead and never taken are removed again; existing files are left as they were.
class PieceOpener {
public:
    // Files open at once besides the one being written.
    static constexpr std::size_t ahead = 4;

    // The plan and the file opener must outlive the piece opener.
    PieceOpener(const PiecePlan& plan, FileOpener& files,
                std::uint32_t permissions = runtime::File::defaultPermissions);
    ~PieceOpener();
    PieceOpener(const PieceOpener&) = delete;
    PieceOpener& operator=(const PieceOpener&) = delete;

    // The next piece's file, open for writing and empty, in the plan's order; throws
    // the error its opening met.
    std::unique_ptr<runtime::File> take();
    // How many pieces take has handed out (or failed to).
    int taken() const { return nextToTake_ - 1; }

private:
    struct Opened {
        std::unique_ptr<runtime::File> file;
        bool created = false;
        std::exception_ptr error;
    };

    Opened open(int piece) const;
    void openAhead();

    const PiecePlan& plan_;
    FileOpener& files_;
    std::uint32_t permissions_;
    int nextToTake_ = 1;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Opened> ready_;
    bool stopping_ = false; // a flag, not a stop token: see OnePass
    std::jthread worker_;
};

} // namespace engine
