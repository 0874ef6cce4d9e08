#include "engine/piece_opener.h"

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
    if (worker_.joinable()) {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        worker_.join();
    }
    for (auto& opened : ready_) {
        if (!opened.file) {
            continue;
        }
        const std::string path = opened.file->path();
        opened.file.reset();
        if (opened.created) {
            runtime::removeFile(path);
        }
    }
}

PieceOpener::Opened PieceOpener::open(int piece) const {
    const std::string path = plan_.piecePath(piece);
    Opened opened;
    try {
        opened.file = files_.open(path, FileOpener::Mode::CreateIfAbsent, permissions_);
        opened.created = opened.file != nullptr;
        if (!opened.file) {
            opened.file = files_.open(path, FileOpener::Mode::WriteExisting, permissions_);
        }
    } catch (...) {
        opened.file.reset();
        opened.error = std::current_exception();
    }
    return opened;
}

void PieceOpener::openAhead() {
    for (int piece = 1; piece <= plan_.count; ++piece) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || ready_.size() < ahead; });
            if (stopping_) {
                return;
            }
        }
        Opened opened = open(piece);
        const bool failed = opened.error != nullptr;
        {
            const std::lock_guard lock(mutex_);
            ready_.push_back(std::move(opened));
        }
        changed_.notify_all();
        if (failed) {
            return; // the run stops at this piece
        }
    }
}

std::unique_ptr<runtime::File> PieceOpener::take() {
    Opened opened;
    if (worker_.joinable()) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !ready_.empty(); });
        opened = std::move(ready_.front());
        ready_.pop_front();
        lock.unlock();
        changed_.notify_all();
    } else {
        opened = open(nextToTake_);
    }
    ++nextToTake_;
    if (opened.error) {
        std::rethrow_exception(opened.error);
    }
    if (!opened.created) {
        opened.file->truncate();
    }
    return std::move(opened.file);
}

} // namespace engine
