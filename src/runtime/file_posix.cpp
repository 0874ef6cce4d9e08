#include "runtime/file.h"

#include "runtime/error.h"
#include "runtime/folder_pins_posix.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <linux/magic.h>
#include <sys/vfs.h>

namespace runtime {

namespace {

std::mutex pinsMutex;
std::map<std::string, int> pins;

// Where a path is to be looked up: in a pinned folder by its descriptor and the bare name,
// elsewhere as it stands.
struct At {
    int folder = AT_FDCWD;
    std::string name;
};

At at(const std::string& path) {
    const auto cut = path.rfind('/');
    const std::string prefix = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    if (!name.empty() && name != "." && name != "..") {
        const std::lock_guard<std::mutex> lock(pinsMutex);
        if (const auto pinned = pins.find(prefix); pinned != pins.end()) {
            return {pinned->second, name};
        }
    }
    return {AT_FDCWD, path};
}

// The pinned folder's descriptor for a folder prefix; -1 when it is not pinned.
int pinnedFolder(const std::string& folderPrefix) {
    const std::lock_guard<std::mutex> lock(pinsMutex);
    const auto pinned = pins.find(folderPrefix);
    return pinned == pins.end() ? -1 : pinned->second;
}

} // namespace

namespace {
// A folder to read the entries of: the pinned one itself where it is pinned.
DIR* openFolder(const std::string& folderPrefix) {
    const int pinned = pinnedFolder(folderPrefix);
    if (pinned < 0) {
        return ::opendir(folderPrefix.empty() ? "." : folderPrefix.c_str());
    }
    const int fd = ::dup(pinned);
    DIR* directory = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!directory) {
        if (fd >= 0) {
            ::close(fd);
        }
        return nullptr;
    }
    ::rewinddir(directory);
    return directory;
}
} // namespace

void pinFolder(const std::string& folderPrefix, int descriptor) {
    const std::lock_guard<std::mutex> lock(pinsMutex);
    pins[folderPrefix] = descriptor;
}

void unpinFolder(const std::string& folderPrefix) noexcept {
    const std::lock_guard<std::mutex> lock(pinsMutex);
    pins.erase(folderPrefix);
}

std::optional<FileIdentity> fileIdentity(const std::string& path) {
    struct stat info {};
    const At where = at(path);
    if (::fstatat(where.folder, where.name.c_str(), &info, 0) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

std::int64_t fileLength(const std::string& path) {
    struct stat info {};
    const At where = at(path);
    if (::fstatat(where.folder, where.name.c_str(), &info, 0) != 0) {
        throwLastSystemError(path);
    }
    if (S_ISDIR(info.st_mode)) {
        throw Error(ErrorNumber::IsAFolder, path);
    }
    if (!S_ISREG(info.st_mode)) {
        throw Error(ErrorNumber::NotRegularFile, path);
    }
    return static_cast<std::int64_t>(info.st_size);
}

bool pathExists(const std::string& path) {
    struct stat info {};
    const At where = at(path);
    return ::fstatat(where.folder, where.name.c_str(), &info, 0) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    const At where = at(path);
    return ::fstatat(where.folder, where.name.c_str(), &info, 0) == 0 && S_ISDIR(info.st_mode);
}

bool removeFile(const std::string& path) noexcept {
    try {
        const At where = at(path);
        return ::unlinkat(where.folder, where.name.c_str(), 0) == 0;
    } catch (...) {
        return false;
    }
}

namespace {
std::string folderPath(const std::string& folderPrefix) {
    return folderPrefix.empty() ? std::string(".") : folderPrefix;
}

// A write past a file-size limit (ulimit -f) would end the process with SIGXFSZ; ignored,
// the write fails with EFBIG instead and the run reports it and cleans up.
void letWritesFailOnTheSizeLimit() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGXFSZ, SIG_IGN); });
}

// The descriptor, or -1 with errno set. O_NONBLOCK: opening a named pipe must not wait
// for a writer or a reader (regular files ignore the flag).
int openRetrying(const std::string& path, int flags, std::uint32_t permissions) {
    if (flags & (O_WRONLY | O_RDWR)) {
        letWritesFailOnTheSizeLimit();
    }
    const At where = at(path);
    int fd = -1;
    do {
        fd = ::openat(where.folder, where.name.c_str(), flags | O_CLOEXEC | O_NONBLOCK,
                      static_cast<mode_t>(permissions));
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool isLink(const std::string& path) {
    struct stat info {};
    const At where = at(path);
    return ::fstatat(where.folder, where.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISLNK(info.st_mode);
}

[[noreturn]] void throwOpenError(const std::string& path, int flags) {
    const int code = errno;
    // O_NOFOLLOW refuses a link with ELOOP, a pipe without a reader answers ENXIO.
    if (((flags & O_NOFOLLOW) && code == ELOOP && isLink(path)) || code == ENXIO) {
        throw Error(ErrorNumber::NotRegularFile, path);
    }
    throwSystemError(code, path);
}

// Refuses anything but a regular file, and takes away permissions the file should not
// have. Closes the descriptor when it throws.
int checkedRegular(int fd, const std::string& path, std::uint32_t permissions) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int code = errno;
        ::close(fd);
        throwSystemError(code, path);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        throw Error(S_ISDIR(info.st_mode) ? ErrorNumber::IsAFolder : ErrorNumber::NotRegularFile,
                    path);
    }
    const mode_t allowed = info.st_mode & 07777 & static_cast<mode_t>(permissions | ~0777u);
    if (allowed != (info.st_mode & 07777) && ::fchmod(fd, allowed) != 0) {
        const int code = errno;
        ::close(fd);
        throwSystemError(code, path);
    }
    return fd;
}

constexpr int writeFlags = O_WRONLY | O_NOFOLLOW;

int openChecked(const std::string& path, int flags, std::uint32_t permissions) {
    const int fd = openRetrying(path, flags, permissions);
    if (fd < 0) {
        throwOpenError(path, flags);
    }
    return checkedRegular(fd, path, permissions);
}
} // namespace

File File::openForReading(const std::string& path) {
    return File(openChecked(path, O_RDONLY, 07777), path);
}

File File::createOrTruncate(const std::string& path, std::uint32_t permissions) {
    // Cut only once the name is known to be a regular file.
    File file(openChecked(path, writeFlags | O_CREAT, permissions), path);
    file.truncate();
    return file;
}

File File::createNew(const std::string& path, std::uint32_t permissions) {
    return File(openChecked(path, writeFlags | O_CREAT | O_EXCL, permissions), path);
}

std::optional<File> File::createIfAbsent(const std::string& path, std::uint32_t permissions) {
    const int fd = openRetrying(path, writeFlags | O_CREAT | O_EXCL, permissions);
    if (fd < 0 && errno == EEXIST) {
        return std::nullopt;
    }
    if (fd < 0) {
        throwOpenError(path, writeFlags);
    }
    return File(checkedRegular(fd, path, permissions), path);
}

File File::openForWriting(const std::string& path, std::uint32_t permissions) {
    return File(openChecked(path, writeFlags | O_CREAT, permissions), path);
}

File File::createTemporary(const std::string& folderPrefix, const std::string& shownAs,
                           std::string& createdPath, std::uint32_t permissions) {
    // A clash with another name is as good as impossible; a few attempts cover a folder
    // that somehow holds one, and a cleaner that removed ours before we locked it.
    constexpr int attempts = 16;
    for (int attempt = 1;; ++attempt) {
        const std::string path = folderPrefix + newTemporaryName();
        const int fd = openRetrying(path, writeFlags | O_CREAT | O_EXCL, permissions);
        if (fd < 0) {
            if (errno == EEXIST && attempt < attempts) {
                continue;
            }
            throwOpenError(shownAs, writeFlags);
        }
        File file(checkedRegular(fd, shownAs, permissions), shownAs);
        struct stat info {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &info) == 0 && info.st_nlink > 0) {
            createdPath = path;
            return file;
        }
        file.release();
        ::unlink(path.c_str());
        if (attempt >= attempts) {
            throw Error(ErrorNumber::FileAlreadyExists, shownAs);
        }
    }
}

void File::flush() {
    int result = 0;
    do {
        result = ::fdatasync(handle_);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        throwLastSystemError(path_);
    }
}

void File::placeAs(const std::string& temporaryPath, const std::string& target) {
    // Renamed while still open and locked, so no cleaner can take it on the way.
    const At from = at(temporaryPath);
    const At to = at(target);
    if (::renameat(from.folder, from.name.c_str(), to.folder, to.name.c_str()) != 0) {
        throwLastSystemError(target);
    }
    close();
}

void flushFolder(const std::string& folderPrefix) {
    const std::string path = folderPath(folderPrefix);
    const int pinned = pinnedFolder(folderPrefix);
    const int fd = pinned >= 0 ? ::dup(pinned) : openRetrying(path, O_RDONLY | O_DIRECTORY, 0);
    if (fd < 0) {
        throwLastSystemError(path);
    }
    int result = 0;
    do {
        result = ::fsync(fd);
    } while (result != 0 && errno == EINTR);
    const int code = errno;
    ::close(fd);
    // Some file systems cannot flush a folder, and say so: nothing more can be done there.
    if (result != 0 && code != EINVAL && code != ENOTSUP) {
        throwSystemError(code, path);
    }
}

bool canFlushFileSystem() noexcept {
    return true;
}

void flushFileSystem(const std::string& folderPrefix) {
    const std::string path = folderPath(folderPrefix);
    const int fd = openRetrying(path, O_RDONLY | O_DIRECTORY, 0);
    if (fd < 0) {
        throwLastSystemError(path);
    }
    const int result = ::syncfs(fd);
    const int code = errno;
    ::close(fd);
    if (result != 0) {
        throwSystemError(code, path);
    }
}

VolumeRoom volumeRoom(const std::string& folderPrefix) {
    const std::string path = folderPath(folderPrefix);
    struct statfs info {};
    const int pinned = pinnedFolder(folderPrefix);
    if ((pinned >= 0 ? ::fstatfs(pinned, &info) : ::statfs(path.c_str(), &info)) != 0) {
        throwLastSystemError(path);
    }
    return roomOf({static_cast<std::uint64_t>(info.f_bavail),
                   static_cast<std::uint64_t>(info.f_bsize),
                   static_cast<std::uint64_t>(info.f_files),
                   static_cast<std::uint64_t>(info.f_ffree), info.f_type == MSDOS_SUPER_MAGIC});
}

int removeStaleTemporaries(const std::string& folderPrefix,
                           const std::vector<FileIdentity>& spared) noexcept {
    DIR* directory = openFolder(folderPrefix);
    if (!directory) {
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(directory)) {
        if (!isTemporaryName(entry->d_name)) {
            continue;
        }
        const int fd = ::openat(::dirfd(directory), entry->d_name,
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat held {};
        struct stat named {};
        // Unlocked means its writer is gone; the name must still be the file we locked.
        const auto isSpared = [&] {
            const FileIdentity identity{static_cast<std::uint64_t>(held.st_dev),
                                        static_cast<std::uint64_t>(held.st_ino)};
            return std::find(spared.begin(), spared.end(), identity) != spared.end();
        };
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && !isSpared() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(::dirfd(directory), entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_ino == held.st_ino && named.st_dev == held.st_dev &&
            ::unlinkat(::dirfd(directory), entry->d_name, 0) == 0) {
            ++removed;
        }
        ::close(fd);
    }
    ::closedir(directory);
    return removed;
}

std::optional<FileIdentity> File::identity() const {
    struct stat info {};
    if (::fstat(handle_, &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

FileStamp File::stamp() const {
    struct stat info {};
    if (::fstat(handle_, &info) != 0) {
        throwLastSystemError(path_);
    }
    return {static_cast<std::int64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

std::uint32_t File::permissions() const {
    struct stat info {};
    if (::fstat(handle_, &info) != 0) {
        throwLastSystemError(path_);
    }
    return static_cast<std::uint32_t>(info.st_mode & 0777);
}

void File::truncate(std::int64_t length) {
    int result = 0;
    do {
        result = ::ftruncate(handle_, static_cast<off_t>(length));
    } while (result != 0 && errno == EINTR);
    if (result != 0 || ::lseek(handle_, static_cast<off_t>(length), SEEK_SET) != length) {
        throwLastSystemError(path_);
    }
}

void File::reserve(std::int64_t bytes) noexcept {
    // Measured on ext4: a split into 1 MiB pieces took 0.85 x the time without this, since
    // blocks come as one extent instead of one delayed allocation per page. Failures
    // (no support, no room) are left to the writes that follow to report.
    if (bytes > 0) {
        (void)::fallocate(handle_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes));
    }
}

void File::startWriteback(std::int64_t offset, std::int64_t length) noexcept {
    // Errors show up at the flush that follows.
    (void)::sync_file_range(handle_, static_cast<off_t>(offset), static_cast<off_t>(length),
                            SYNC_FILE_RANGE_WRITE);
}

bool File::inMemory() const noexcept {
    struct statfs info {};
    return ::fstatfs(handle_, &info) == 0 &&
           (info.f_type == TMPFS_MAGIC || info.f_type == RAMFS_MAGIC);
}

std::size_t File::read(void* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(handle_, buffer, size);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            throwLastSystemError(path_);
        }
    }
}

void File::writeAll(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = ::write(handle_, bytes, size);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwLastSystemError(path_);
        }
        if (put == 0) {
            throw Error(ErrorNumber::DiskFull, path_);
        }
        bytes += put;
        size -= static_cast<std::size_t>(put);
    }
}

std::int64_t File::length() const {
    struct stat info {};
    if (::fstat(handle_, &info) != 0) {
        throwLastSystemError(path_);
    }
    return static_cast<std::int64_t>(info.st_size);
}

void File::close() {
    if (!isOpen()) {
        return;
    }
    const int fd = handle_;
    handle_ = -1;
    // A failed close may mean the data never reached the disk (NFS, quotas).
    if (::close(fd) != 0 && errno != EINTR) {
        throwLastSystemError(path_);
    }
}

File::Handle File::invalidHandle() noexcept {
    return -1;
}

bool File::isOpen() const noexcept {
    return handle_ >= 0;
}

void File::release() noexcept {
    if (isOpen()) {
        ::close(handle_);
        handle_ = -1;
    }
}

File::File(File&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) {
    other.handle_ = -1;
}

} // namespace runtime

namespace runtime {

namespace {
// True when the link `name` in `folder` resolves to a file in another folder.
bool linkLeadsOut(const std::string& folder, const std::string& name) {
    char* where = ::realpath(folder.c_str(), nullptr);
    char* target = ::realpath((folder + "/" + name).c_str(), nullptr);
    bool out = true;
    if (where && target) {
        const std::string resolved = target;
        out = resolved.substr(0, resolved.rfind('/')) != std::string(where) &&
              !(std::string(where) == "/" && resolved.rfind('/') == 0);
    }
    std::free(where);
    std::free(target);
    return out;
}
} // namespace

std::vector<FolderEntry> listFolder(const std::string& folder) {
    const std::string path = folder.empty() ? "." : folder;
    DIR* directory = openFolder(folder);
    if (!directory) {
        throwLastSystemError(path);
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> closer(directory, ::closedir);
    std::vector<FolderEntry> entries;
    errno = 0;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        FolderEntry listed{name, 0, false, std::nullopt, false};
        struct stat own {};
        if (::fstatat(::dirfd(directory), entry->d_name, &own, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISLNK(own.st_mode)) {
            listed.leadsOut = linkLeadsOut(path, name);
        }
        struct stat info {};
        if (::fstatat(::dirfd(directory), entry->d_name, &info, 0) == 0) {
            listed.regular = S_ISREG(info.st_mode);
            listed.size = static_cast<std::int64_t>(info.st_size);
            listed.identity = FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                                           static_cast<std::uint64_t>(info.st_ino)};
        }
        entries.push_back(std::move(listed));
        errno = 0;
    }
    if (errno != 0) {
        throwLastSystemError(path);
    }
    return entries;
}

} // namespace runtime
