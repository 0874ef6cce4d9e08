#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/path.h"

namespace runtime {

// What makes two paths the same file (hard links and case-folded names included).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of an existing file or folder; nothing when the path names none.
std::optional<FileIdentity> fileIdentity(const std::string& path);

// Length in bytes of an existing regular file (64-bit); throws Error when it cannot be
// read, IsAFolder for a folder and NotRegularFile for a device or a pipe.
std::int64_t fileLength(const std::string& path);

bool pathExists(const std::string& path);
bool isDirectory(const std::string& path);
// True when the folder part of path exists (the current folder for a bare name).
bool parentFolderExists(const std::string& path);

// One entry of a folder; a link is described by what it leads to.
struct FolderEntry {
    std::string name;
    std::int64_t size = 0;
    bool regular = true; // a file, not a folder or a device
    std::optional<FileIdentity> identity;
    bool leadsOut = false; // a link to a file outside the folder
};

// What tells a changed file from an unchanged one: its length and last modification.
struct FileStamp {
    std::int64_t length = 0;
    std::int64_t modified = 0;
    bool operator==(const FileStamp&) const = default;
};

// The entries of a folder (the current one for an empty path), "." and ".." left out;
// throws Error when it cannot be read.
std::vector<FolderEntry> listFolder(const std::string& folder);

// Removes a file; returns false when it could not be removed (it may not exist).
bool removeFile(const std::string& path) noexcept;

// Folders are given as prefixes here: empty (the current folder) or ending in a separator.

// Makes a folder's entries (files made, renamed or removed in it) durable. Nothing on
// Windows, which cannot flush a folder and writes its renames through instead.
void flushFolder(const std::string& folderPrefix);
// Whether the platform can write a whole file system through in one call (not Windows,
// where only an administrator may flush a volume: there each file is flushed).
bool canFlushFileSystem() noexcept;
// Writes every file of the file system that holds the folder through to the disk.
void flushFileSystem(const std::string& folderPrefix);

// What the file system that holds a folder can take: the bytes this user may still
// write there, the largest file it can hold (4 GiB - 1 on FAT, no limit elsewhere), the
// unit files are stored in, and how many more files it can hold where it says.
struct VolumeRoom {
    std::int64_t available = std::numeric_limits<std::int64_t>::max();
    std::int64_t largestFile = std::numeric_limits<std::int64_t>::max();
    // What one file takes at least, and files take in whole units of: the block (POSIX)
    // or the cluster (Windows).
    std::int64_t blockSize = 1;
    // How many more files the file system can hold; -1 where it does not say (NTFS, and
    // file systems that make room for files as they grow).
    std::int64_t freeFiles = -1;
};
inline constexpr std::int64_t fatLargestFile = 4294967295;
// A file system's own figures (statfs's): blocks this user may still write, the block size,
// files in all (0 where it makes room for them as it grows) and still free, and whether it
// is FAT; and the room they stand for.
struct FileSystemFigures {
    std::uint64_t blocksAvailable = 0;
    std::uint64_t blockSize = 0;
    std::uint64_t files = 0;
    std::uint64_t filesFree = 0;
    bool fat = false;
};
VolumeRoom roomOf(const FileSystemFigures& figures);
// Throws Error when the file system cannot be asked.
VolumeRoom volumeRoom(const std::string& folderPrefix);

// The names of the program's temporary files: ".corvane-" + 16 hexadecimal digits +
// ".tmp". A dotted name keeps them out of sight, a random one keeps them from meeting
// any other file, and a fixed shape lets a later run find what a killed one left.
std::string newTemporaryName();
bool isTemporaryName(std::string_view name);
// Removes the temporary files in the folder that no running writer holds (a writer holds
// its own from creation until it is put in place); returns how many went. Nothing else
// is touched, never a file in `spared` (the run's own source, pieces or target, whatever
// their names), and failures are left for the run's own opens to report.
int removeStaleTemporaries(const std::string& folderPrefix,
                           const std::vector<FileIdentity>& spared = {}) noexcept;

// An open file; closed when it goes out of scope. Paths are UTF-8.
//
// Only regular files are opened, and opening never waits: a folder (IsAFolder), a device
// or a named pipe is refused (NotRegularFile), and so is a symbolic link at a name that
// is opened for writing, so a write never lands outside the folder it names.
// `permissions` (POSIX mode bits) are given to a file that is created, and taken
// away from an existing file that has more.
class File {
public:
    static constexpr std::uint32_t defaultPermissions = 0666;

    static File openForReading(const std::string& path);
    // Creates the file or cuts an existing one to zero length.
    static File createOrTruncate(const std::string& path,
                                 std::uint32_t permissions = defaultPermissions);
    // Creates a file that must not exist yet.
    static File createNew(const std::string& path, std::uint32_t permissions = defaultPermissions);
    // Creates a file that does not exist yet; nothing when one does (it is left alone).
    static std::optional<File> createIfAbsent(const std::string& path,
                                              std::uint32_t permissions = defaultPermissions);
    // Opens a file for writing, creating it when missing, without cutting its content.
    static File openForWriting(const std::string& path,
                               std::uint32_t permissions = defaultPermissions);
    // Creates a temporary file in the folder under a new name (see newTemporaryName), never
    // opening an existing file, and holds it against removeStaleTemporaries while open. Its
    // errors name `shownAs`, the file it stands in for; `createdPath` receives its own path.
    static File createTemporary(const std::string& folderPrefix, const std::string& shownAs,
                                std::string& createdPath,
                                std::uint32_t permissions = defaultPermissions);

    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    virtual ~File();

    // Reads up to size bytes; returns how many were read, 0 at the end of the file.
    // Virtual, like flush, placeAs and close, so a test can stand a faulty device in for a
    // file.
    virtual std::size_t read(void* buffer, std::size_t size);
    virtual void writeAll(const void* data, std::size_t size);
    // Writes what was written through to the disk; throws Error when the disk refuses.
    virtual void flush();
    // Asks the system to start writing the given bytes (length 0: to the end) to the disk
    // now, without waiting for it, so that a later flush has little left to wait for.
    // Only a hint: nothing happens where the platform has no such call.
    void startWriteback(std::int64_t offset = 0, std::int64_t length = 0) noexcept;
    // Puts a temporary file (made by createTemporary at `temporaryPath`) in place of
    // `target` in one step and closes it; what it replaces is gone only once it is there.
    // Flush first: only the name changes here.
    virtual void placeAs(const std::string& temporaryPath, const std::string& target);
    std::int64_t length() const;
    FileStamp stamp() const;
    // What the open file is (see fileIdentity); nothing where the system cannot tell.
    std::optional<FileIdentity> identity() const;
    // The file's permission bits (0666 where the platform has none).
    std::uint32_t permissions() const;
    // Cuts the file to `length` bytes and puts the position there.
    void truncate(std::int64_t length = 0);
    // Asks the file system to set aside room for the first `bytes` bytes without
    // changing the file's length, so that writing them allocates nothing on the way.
    // Only a hint: where the platform or file system has no such call, nothing happens.
    // Not worth it in memory (see inMemory).
    virtual void reserve(std::int64_t bytes) noexcept;
    // True when the file lives in memory (tmpfs), where setting room aside means
    // clearing pages the copy then overwrites, and a buffer beats the kernel copy.
    bool inMemory() const noexcept;
    // Closes now and reports a failed close (data not written), unlike the destructor.
    virtual void close();

    bool isOpen() const noexcept;
    const std::string& path() const noexcept { return path_; }
#ifdef _WIN32
    void* nativeHandle() const noexcept {
        return handle_;
    }
#else
    int nativeHandle() const noexcept {
        return handle_;
    }
#endif

private:
#ifdef _WIN32
    using Handle = void*;
#else
    using Handle = int;
#endif
    File(Handle handle, std::string path) : handle_(handle), path_(std::move(path)) {}
    static Handle invalidHandle() noexcept;
    void release() noexcept;

    Handle handle_;
    std::string path_;
};

} // namespace runtime
