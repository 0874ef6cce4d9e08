#include "engine/piece_opener.h"

#include <stdexcept>
#include <system_error>

namespace engine {

PieceOpener::PieceOpener(const PiecePlan& plan, FileOpener& files, std::uint32_t permissions)
    : plan_(plan), files_(files), permissions_(permissions) {
    if (plan_.count < 2) {
        return; // nothing to overlap
    }
    try {
        worker_ = std::jthread([this] { openAhead(); });
    } catch (const std::system_error&) {
        // No thread to be had: take() opens each file itself, which is only slower.
    }
}

PieceOpener::~PieceOpener() {
    ready_.stop();
    if (worker_.joinable()) {
        worker_.join();
    }
    for (Opened& opened : ready_.takeLeft()) {
        undo(opened);
    }
}

// A file opened ahead and never taken: one this run made is removed again, one that was
// there before is left as it was.
void PieceOpener::undo(Opened& opened) {
    if (!opened.file) {
        return;
    }
    const std::string path = opened.file->path();
    opened.file.reset();
    if (opened.created) {
        runtime::removeFile(path);
    }
}

PieceOpener::Opened PieceOpener::open(int piece) {
    const std::string path = plan_.piecePath(piece);
    Opened opened;
    opened.file = files_.open(path, FileOpener::Mode::CreateIfAbsent, permissions_);
    opened.created = opened.file != nullptr;
    if (!opened.file) {
        opened.file = files_.open(path, FileOpener::Mode::WriteExisting, permissions_);
    }
    if (opened.created) {
        reserveRoom(*opened.file, piece);
    }
    return opened;
}

// An existing file's room is set aside once it is cut, when its piece is taken.
void PieceOpener::reserveRoom(runtime::File& file, int piece) {
    if (inMemory_ < 0) {
        inMemory_ = file.inMemory() ? 1 : 0;
    }
    // In memory, setting room aside would only clear pages the copy then overwrites.
    if (inMemory_ == 0) {
        file.reserve(plan_.pieceLength(piece));
    }
}

void PieceOpener::openAhead() {
    try {
        for (int piece = 1; piece <= plan_.count; ++piece) {
            Opened opened = open(piece);
            if (!ready_.put(std::move(opened))) {
                undo(opened); // the run ended early
                return;
            }
        }
        ready_.close();
    } catch (...) {
        ready_.fail(std::current_exception()); // the run stops at this piece
    }
}

std::unique_ptr<runtime::File> PieceOpener::take(const HandOff<int>::Waiting& waiting) {
    const int piece = nextToTake_++;
    Opened opened;
    if (worker_.joinable()) {
        std::optional<Opened> ready = ready_.take(waiting); // throws the opening's error
        if (!ready) {
            throw std::logic_error("PieceOpener: a piece was taken past the plan's end");
        }
        opened = std::move(*ready);
    } else {
        opened = open(piece);
    }
    if (!opened.created) {
        opened.file->truncate();
        reserveRoom(*opened.file, piece);
    }
    return std::move(opened.file);
}

} // namespace engine
