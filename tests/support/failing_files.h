#pragma once

#include "engine/file_opener.h"
#include "runtime/error.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace testing_support {

// The system's files, except that the one file whose name ends in `nameEnding` fails
// after `bytes` bytes have been read from it or written to it, as a failing disk would.
// The first `soundReadings` times it is opened for reading it reads without fail (the
// split opens its source for the copy, then for the hashes).
class FailingFiles : public engine::FileOpener {
public:
    enum class Fault { Read, Write };

    FailingFiles(std::string nameEnding, Fault fault, std::uint64_t bytes,
                 runtime::ErrorNumber error, int soundReadings = 0)
        : nameEnding_(std::move(nameEnding)), fault_(fault), bytes_(bytes), error_(error),
          soundReadings_(soundReadings) {}

    std::unique_ptr<runtime::File> open(const std::string& path, Mode mode,
                                        std::uint32_t permissions) override;

private:
    std::string nameEnding_;
    Fault fault_;
    std::uint64_t bytes_;
    runtime::ErrorNumber error_;
    std::atomic<int> soundReadings_;
};

} // namespace testing_support
