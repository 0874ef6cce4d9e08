#pragma once

#include "runtime/file.h"

#include <optional>
#include <string>

namespace runtime {

// One run per folder: a split or merge holds its folder from start to end, and a second
// run of the program there, in this process or another, is refused at once instead of
// mixing its files with the first's. On POSIX an exclusive flock on the folder itself; on
// Windows a hidden lock file, opened without sharing and deleted when closed (so even a
// killed run frees it). While held on POSIX, the run's file calls in the folder resolve
// against the folder as it was opened (openat and its kin), so a folder swapped for a link
// elsewhere never receives a byte; on Windows the folder is held open without delete
// sharing, so it cannot be moved or replaced at all.
class FolderLock {
public:
    // The folder held; nothing when another run holds it. A folder that cannot be opened
    // (missing, say) gives a lock that holds nothing: the run's own opens report why.
    static std::optional<FolderLock> tryHold(const std::string& folderPrefix);

    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&&) = delete;
    FolderLock(const FolderLock&) = delete;
    ~FolderLock();

    // Whether the folder still is the one held: not moved away or swapped for another
    // (a link, say) since. True for a lock that holds nothing.
    bool stillThere() const;

private:
#ifdef _WIN32
    using Handle = void*;
#else
    using Handle = int;
#endif
    FolderLock(Handle handle, Handle folderHandle, std::string folderPrefix,
               std::optional<FileIdentity> identity)
        : handle_(handle), folderHandle_(folderHandle), folder_(std::move(folderPrefix)),
          identity_(identity) {}

    Handle handle_;
    // Windows: the folder itself, open without delete sharing, so that it cannot be renamed,
    // removed or replaced while held. Unused on POSIX, where handle_ is the folder.
    Handle folderHandle_;
    std::string folder_;
    std::optional<FileIdentity> identity_;
};

} // namespace runtime
