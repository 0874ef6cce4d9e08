#include "engine/set_hasher.h"

#include "engine/pump_throttle.h"
#include "runtime/error.h"
#include "runtime/file.h"
#include "runtime/sha256.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <system_error>

namespace engine {

namespace {

// Large enough that a read costs little beside hashing it, small enough to stay in
// the core's cache between the read and the hash.
constexpr std::size_t readSize = 256 << 10;

struct Stopped {};

// Reads every range in order, handing each block to `take` with its range's index.
void readRanges(const std::vector<std::string>& files, const std::vector<HashedRange>& ranges,
                const std::atomic<bool>& stopping,
                const std::function<void(std::size_t, const char*, std::size_t)>& take) {
    const auto buffer = std::make_unique<char[]>(readSize);
    std::optional<runtime::File> file;
    std::size_t open = files.size();
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        if (!file || open != ranges[i].file) {
            open = ranges[i].file;
            file.emplace(runtime::File::openForReading(files.at(open)));
        }
        auto left = static_cast<std::uint64_t>(ranges[i].length);
        while (left > 0) {
            if (stopping) {
                throw Stopped{};
            }
            const std::size_t got = file->read(
                buffer.get(), static_cast<std::size_t>(std::min<std::uint64_t>(left, readSize)));
            if (got == 0) {
                throw runtime::Error(runtime::ErrorNumber::InputPastEnd, file->path());
            }
            take(i, buffer.get(), got);
            left -= got;
        }
    }
}

} // namespace

SetHasher::SetHasher(std::vector<std::string> files, std::vector<HashedRange> ranges)
    : files_(std::move(files)), ranges_(std::move(ranges)) {
    for (auto job : {&SetHasher::hashPieces, &SetHasher::hashWhole}) {
        {
            const std::lock_guard lock(mutex_);
            ++running_;
        }
        try {
            threads_.emplace_back([this, job] { (this->*job)(); });
        } catch (const std::system_error&) {
            (this->*job)(); // no thread to be had: hash here, only slower
        }
    }
}

SetHasher::~SetHasher() {
    stopping_ = true;
    for (auto& thread : threads_) {
        thread.join();
    }
}

void SetHasher::hashPieces() {
    try {
        std::vector<runtime::Sha256::Digest> hashes;
        hashes.reserve(ranges_.size());
        auto hash = std::make_unique<runtime::Sha256>();
        std::size_t current = 0;
        const auto finishUpTo = [&](std::size_t index) {
            while (current < index) {
                hashes.push_back(hash->finish());
                hash = std::make_unique<runtime::Sha256>();
                ++current;
            }
        };
        readRanges(files_, ranges_, stopping_,
                   [&](std::size_t index, const char* data, std::size_t size) {
                       finishUpTo(index);
                       hash->update(data, size);
                   });
        finishUpTo(ranges_.size());
        pieceHashes_ = std::move(hashes);
        finished(nullptr);
    } catch (const Stopped&) {
        finished(nullptr);
    } catch (...) {
        finished(std::current_exception());
    }
}

void SetHasher::hashWhole() {
    try {
        runtime::Sha256 hash;
        readRanges(
            files_, ranges_, stopping_,
            [&](std::size_t, const char* data, std::size_t size) { hash.update(data, size); });
        wholeHash_ = runtime::Sha256::hex(hash.finish());
        finished(nullptr);
    } catch (const Stopped&) {
        finished(nullptr);
    } catch (...) {
        finished(std::current_exception());
    }
}

void SetHasher::finished(std::exception_ptr error) {
    {
        const std::lock_guard lock(mutex_);
        --running_;
        if (error && !error_) {
            error_ = error;
        }
    }
    changed_.notify_all();
}

bool SetHasher::waitFor(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, wait, [this] { return running_ == 0; });
}

void SetHasher::rethrow() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return running_ == 0; });
    if (error_) {
        std::rethrow_exception(error_);
    }
}

const std::vector<runtime::Sha256::Digest>& SetHasher::pieceHashes() {
    rethrow();
    return pieceHashes_;
}

void waitForHashes(Host& host, SetHasher& hasher) {
    while (!hasher.waitFor(PumpThrottle::interval)) {
        host.pumpEvents();
    }
}

const std::string& SetHasher::wholeHash() {
    rethrow();
    return wholeHash_;
}

} // namespace engine
