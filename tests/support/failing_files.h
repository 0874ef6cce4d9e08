#pragma once

#include "engine/file_opener.h"
#include "runtime/error.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// The system's files, except that the one file named `name` (a bare name; a temporary
// file counts under the name of the file it stands in for) fails as a failing disk
// would: after `bytes` bytes read or written, or at its flush, close or placing.
// Every call that makes something durable is logged, in order, with the bare name it
// concerns, so a test can check what was flushed before what.
class FailingFiles : public engine::FileOpener {
public:
    // ShortRead: the file ends after `bytes` bytes, as one cut by another program would.
    // Flaky: the byte at offset `bytes` reads wrong, as a failing stick may return it.
    enum class Fault { None, Read, ShortRead, Flaky, Write, Flush, Close, Place };

    FailingFiles() = default;
    FailingFiles(std::string name, Fault fault, std::uint64_t bytes, runtime::ErrorNumber error)
        : name_(std::move(name)), fault_(fault), bytes_(bytes), error_(error) {}

    std::unique_ptr<runtime::File> open(const std::string& path, Mode mode,
                                        std::uint32_t permissions) override;
    std::unique_ptr<runtime::File> createTemporary(const std::string& folderPrefix,
                                                   const std::string& shownAs,
                                                   std::string& createdPath,
                                                   std::uint32_t permissions) override;
    void flushFolder(const std::string& folderPrefix) override;
    bool canFlushFileSystem() override { return wholeFileSystem; }
    void flushFileSystem(const std::string& folderPrefix) override;
    runtime::VolumeRoom room(const std::string& folderPrefix) override {
        return roomGiven ? *roomGiven : FileOpener::room(folderPrefix);
    }

    // Stands in for a platform that cannot flush a whole file system when false.
    bool wholeFileSystem = runtime::canFlushFileSystem();
    // Stands in for the destination's free space and largest file when set.
    std::optional<runtime::VolumeRoom> roomGiven;

    void log(const std::string& call);
    std::vector<std::string> calls();
    // How often a file of this bare name was opened for reading.
    int readings(const std::string& name);

private:
    std::unique_ptr<runtime::File> wrap(std::unique_ptr<runtime::File> file,
                                        const std::string& name);

    std::string name_;
    Fault fault_ = Fault::None;
    std::uint64_t bytes_ = 0;
    runtime::ErrorNumber error_ = runtime::ErrorNumber::DeviceIo;
    std::mutex mutex_;
    std::vector<std::string> calls_;
};

std::string bareName(const std::string& path);

} // namespace testing_support
