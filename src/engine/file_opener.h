#pragma once

#include "runtime/file.h"

#include <memory>
#include <string>

namespace engine {

// How the runs reach the file system: opening files, making temporaries and making what
// was written durable. The system's own by default; a test stands in files that fail
// after so many bytes, or records the calls, to reach the runs' failure paths.
//
// Called from the run's thread and from its helper threads (the piece opener and the
// flusher) at once: an opener must be safe for that.
class FileOpener {
public:
    enum class Mode {
        Read,
        CreateNew,      // must not exist yet
        CreateIfAbsent, // nullptr when it exists (it is left alone)
        WriteExisting,  // created when missing, content kept
    };

    virtual ~FileOpener() = default;
    // `permissions` are given to a file that is created, and taken away from an
    // existing one that has more (see runtime::File).
    virtual std::unique_ptr<runtime::File>
    open(const std::string& path, Mode mode,
         std::uint32_t permissions = runtime::File::defaultPermissions);

    // A new temporary file in the folder that stands in for `shownAs` (see
    // runtime::File::createTemporary); its own path goes to `createdPath`.
    virtual std::unique_ptr<runtime::File> createTemporary(const std::string& folderPrefix,
                                                           const std::string& shownAs,
                                                           std::string& createdPath,
                                                           std::uint32_t permissions);

    virtual void flushFolder(const std::string& folderPrefix);
    // Whether flushFileSystem is to be had (see runtime).
    virtual bool canFlushFileSystem();
    virtual void flushFileSystem(const std::string& folderPrefix);
    // What the folder's file system can still take (see runtime::volumeRoom).
    virtual runtime::VolumeRoom room(const std::string& folderPrefix);
};

// The bytes of a small file (a script or a checksum file), read through `files`.
std::string readWholeFile(FileOpener& files, const std::string& path);

// The opener of the system's own files.
FileOpener& systemFiles();

} // namespace engine
