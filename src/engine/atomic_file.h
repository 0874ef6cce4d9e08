#pragma once

#include "engine/file_opener.h"

#include <memory>
#include <string>
#include <string_view>

namespace engine {

// A file that appears whole or not at all: written to a temporary file in the target's
// folder (created exclusively, never an existing file), flushed, put in place of the
// target in one step, and the folder flushed, so that after a crash or a pulled stick
// the target is either the old file or the complete new one. Written as a stream, so it
// never holds the file in memory. Unless committed, the temporary is removed. The merge
// script, the checksum file and the merged target are all written this way.
class AtomicFile {
public:
    // Errors on the way name `target`, not the temporary.
    AtomicFile(FileOpener& files, std::string target, std::uint32_t permissions);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    runtime::File& file() { return *file_; }
    void write(std::string_view bytes) { file_->writeAll(bytes.data(), bytes.size()); }
    // Flushes, puts the file in place and flushes the folder.
    void commit();

private:
    FileOpener& files_;
    std::string target_;
    std::string folder_;
    std::string temporary_;
    std::unique_ptr<runtime::File> file_;
    bool committed_ = false;
};

// Writes `bytes` to `target` through an AtomicFile.
void writeAtomically(FileOpener& files, const std::string& target, std::string_view bytes,
                     std::uint32_t permissions);

} // namespace engine
