#pragma once

#include "runtime/file.h"

#include <memory>
#include <string>

namespace engine {

// How the runs open their files. The system's files by default; a test stands in
// files that fail after so many bytes, to reach the runs' failure paths.
class FileOpener {
public:
    enum class Mode {
        Read,
        CreateNew,        // must not exist yet
        CreateIfAbsent,   // nullptr when it exists (it is left alone)
        WriteExisting,    // created when missing, content kept
        CreateOrTruncate, // created, or cut to zero length
    };

    virtual ~FileOpener() = default;
    // `permissions` are given to a file that is created, and taken away from an
    // existing one that has more (see runtime::File).
    virtual std::unique_ptr<runtime::File>
    open(const std::string& path, Mode mode,
         std::uint32_t permissions = runtime::File::defaultPermissions);
};

// The opener of the system's own files.
FileOpener& systemFiles();

} // namespace engine
