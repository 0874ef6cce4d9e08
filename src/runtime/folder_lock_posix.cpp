#include "runtime/folder_lock.h"

#include "runtime/folder_pins_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace runtime {

namespace {
std::string folderPath(const std::string& folderPrefix) {
    return folderPrefix.empty() ? std::string(".") : folderPrefix;
}
} // namespace

std::optional<FolderLock> FolderLock::tryHold(const std::string& folderPrefix) {
    const std::string path = folderPath(folderPrefix);
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return FolderLock(-1, -1, folderPrefix, std::nullopt);
    }
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int code = errno;
        ::close(fd);
        if (code == EWOULDBLOCK) {
            return std::nullopt;
        }
        // A file system without such locks (some network ones): the run goes on unheld.
        return FolderLock(-1, -1, folderPrefix, fileIdentity(path));
    }
    struct stat info {};
    std::optional<FileIdentity> identity;
    if (::fstat(fd, &info) == 0) {
        identity = FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                                static_cast<std::uint64_t>(info.st_ino)};
    }
    // From here on every file of the run in this folder is made, renamed and removed in
    // the folder opened here, even if its path comes to name another one.
    pinFolder(folderPrefix, fd);
    return FolderLock(fd, -1, folderPrefix, identity);
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : handle_(other.handle_), folderHandle_(other.folderHandle_), folder_(std::move(other.folder_)),
      identity_(other.identity_) {
    other.handle_ = -1;
}

FolderLock::~FolderLock() {
    if (handle_ >= 0) {
        unpinFolder(folder_);
        ::close(handle_); // closing the last descriptor lets the lock go
    }
}

bool FolderLock::stillThere() const {
    return !identity_ || fileIdentity(folderPath(folder_)) == identity_;
}

} // namespace runtime
