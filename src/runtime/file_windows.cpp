#include "runtime/file.h"

#include "runtime/error.h"
#include "runtime/windows_path.h"
#include "runtime/windows_text.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <string_view>

namespace runtime {

std::wstring apiPath(const std::string& path) {
    const std::wstring wide = widen(path);
    if (wide.size() < MAX_PATH - 12 || wide.rfind(L"\\\\?\\", 0) == 0) {
        return wide;
    }
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    full.resize(written);
    if (full.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

namespace {

DWORD attributesOf(const std::string& path) {
    return GetFileAttributesW(apiPath(path).c_str());
}

// Refuses a link, a device or a pipe; closes the handle when it throws.
HANDLE checkedRegular(HANDLE handle, const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info{};
    const bool disk = GetFileType(handle) == FILE_TYPE_DISK;
    if (!disk || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
        CloseHandle(handle);
        throw Error(ErrorNumber::NotRegularFile, path);
    }
    return handle;
}

// Writes open a link itself, never what it leads to, so checkedRegular can refuse it.
HANDLE openChecked(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
    const DWORD flags =
        FILE_ATTRIBUTE_NORMAL | ((access & GENERIC_WRITE) ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const HANDLE handle =
        CreateFileW(apiPath(path).c_str(), access, share, nullptr, disposition, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        throwLastSystemError(path);
    }
    return checkedRegular(handle, path);
}

} // namespace

std::optional<FileIdentity> fileIdentity(const std::string& path) {
    const HANDLE handle = CreateFileW(apiPath(path).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL ok = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!ok) {
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                            info.nFileIndexLow};
}

std::int64_t fileLength(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(apiPath(path).c_str(), GetFileExInfoStandard, &data)) {
        throwLastSystemError(path);
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        throw Error(ErrorNumber::IsAFolder, path);
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) {
        throw Error(ErrorNumber::NotRegularFile, path);
    }
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                     data.nFileSizeLow);
}

bool pathExists(const std::string& path) {
    return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

bool isDirectory(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool removeFile(const std::string& path) noexcept {
    return DeleteFileW(apiPath(path).c_str()) != 0;
}

namespace {
// Opening a folder as a file would fail with a less telling "access denied".
void refuseFolder(const std::string& path) {
    if (isDirectory(path)) {
        throw Error(ErrorNumber::IsAFolder, path);
    }
}
} // namespace

File File::openForReading(const std::string& path) {
    refuseFolder(path);
    return File(openChecked(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING), path);
}

// Permission bits are POSIX's; Windows files keep the folder's access rules.
File File::createOrTruncate(const std::string& path, std::uint32_t) {
    refuseFolder(path);
    File file(openChecked(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS), path);
    file.truncate();
    return file;
}

File File::createNew(const std::string& path, std::uint32_t) {
    return File(openChecked(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW), path);
}

std::optional<File> File::createIfAbsent(const std::string& path, std::uint32_t) {
    refuseFolder(path);
    const HANDLE handle =
        CreateFileW(apiPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) {
            return std::nullopt;
        }
        throwSystemError(static_cast<int>(code), path);
    }
    return File(checkedRegular(handle, path), path);
}

File File::openForWriting(const std::string& path, std::uint32_t) {
    refuseFolder(path);
    return File(openChecked(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS), path);
}

File File::createTemporary(const std::string& folderPrefix, const std::string& shownAs,
                           std::string& createdPath, std::uint32_t) {
    // Opened without FILE_SHARE_DELETE: no one can remove it while it is open.
    constexpr int attempts = 16;
    for (int attempt = 1;; ++attempt) {
        const std::string path = folderPrefix + newTemporaryName();
        const HANDLE handle =
            CreateFileW(apiPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD code = GetLastError();
            if ((code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) && attempt < attempts) {
                continue;
            }
            throwSystemError(static_cast<int>(code), shownAs);
        }
        createdPath = path;
        return File(checkedRegular(handle, shownAs), shownAs);
    }
}

void File::flush() {
    if (!FlushFileBuffers(handle_)) {
        throwLastSystemError(path_);
    }
}

void File::placeAs(const std::string& temporaryPath, const std::string& target) {
    // Windows renames no file that is open without sharing; written through, since no
    // folder can be flushed here.
    close();
    if (!MoveFileExW(apiPath(temporaryPath).c_str(), apiPath(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        throwLastSystemError(target);
    }
}

void flushFolder(const std::string&) {}

bool canFlushFileSystem() noexcept {
    return false;
}

void flushFileSystem(const std::string&) {}

VolumeRoom volumeRoom(const std::string& folderPrefix) {
    const std::wstring folder = apiPath(folderPrefix.empty() ? "." : folderPrefix);
    VolumeRoom room;
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) {
        throwLastSystemError(folderPrefix);
    }
    room.available = static_cast<std::int64_t>(
        std::min<ULONGLONG>(available.QuadPart, static_cast<ULONGLONG>(room.available)));
    wchar_t root[MAX_PATH + 1] = {};
    wchar_t system[MAX_PATH + 1] = {};
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD clusters = 0;
    if (GetVolumePathNameW(folder.c_str(), root, MAX_PATH) &&
        GetDiskFreeSpaceW(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) {
        room.blockSize = std::max<std::int64_t>(1, static_cast<std::int64_t>(sectorsPerCluster) *
                                                       static_cast<std::int64_t>(bytesPerSector));
    }
    // FAT and FAT32 hold files of up to 4 GiB - 1; exFAT and NTFS far more.
    if (GetVolumePathNameW(folder.c_str(), root, MAX_PATH) &&
        GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, system, MAX_PATH) &&
        (std::wstring_view(system) == L"FAT" || std::wstring_view(system) == L"FAT32")) {
        room.largestFile = fatLargestFile;
    }
    return room;
}

int removeStaleTemporaries(const std::string& folderPrefix,
                           const std::vector<FileIdentity>& spared) noexcept {
    try {
        int removed = 0;
        for (const FolderEntry& entry : listFolder(folderPrefix)) {
            // A writer's own file is open without delete sharing, so this fails for it.
            const bool isSpared = entry.identity && std::find(spared.begin(), spared.end(),
                                                              *entry.identity) != spared.end();
            if (entry.regular && isTemporaryName(entry.name) && !isSpared &&
                removeFile(folderPrefix + entry.name)) {
                ++removed;
            }
        }
        return removed;
    } catch (...) {
        return 0;
    }
}

std::optional<FileIdentity> File::identity() const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle_, &info)) {
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                            info.nFileIndexLow};
}

FileStamp File::stamp() const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle_, &info)) {
        throwLastSystemError(path_);
    }
    return {static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) |
                                      info.nFileSizeLow),
            static_cast<std::int64_t>(
                (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                info.ftLastWriteTime.dwLowDateTime)};
}

std::uint32_t File::permissions() const {
    return defaultPermissions;
}

void File::truncate(std::int64_t length) {
    LARGE_INTEGER position{};
    position.QuadPart = length;
    if (!SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_)) {
        throwLastSystemError(path_);
    }
}

void File::reserve(std::int64_t bytes) noexcept {
    // Not measured on NTFS; its own allocation is left alone.
    (void)bytes;
}

void File::startWriteback(std::int64_t, std::int64_t) noexcept {
    // Windows' lazy writer starts on its own; each piece is flushed on a helper thread.
}

bool File::inMemory() const noexcept {
    return false;
}

std::size_t File::read(void* buffer, std::size_t size) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, want, &got, nullptr)) {
        if (GetLastError() == ERROR_HANDLE_EOF) {
            return 0;
        }
        throwLastSystemError(path_);
    }
    return got;
}

void File::writeAll(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD put = 0;
        if (!WriteFile(handle_, bytes, want, &put, nullptr)) {
            throwLastSystemError(path_);
        }
        if (put == 0) {
            throw Error(ErrorNumber::DiskFull, path_);
        }
        bytes += put;
        size -= put;
    }
}

std::int64_t File::length() const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle_, &size)) {
        throwLastSystemError(path_);
    }
    return size.QuadPart;
}

void File::close() {
    if (!isOpen()) {
        return;
    }
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(handle)) {
        throwLastSystemError(path_);
    }
}

File::Handle File::invalidHandle() noexcept {
    return INVALID_HANDLE_VALUE;
}

bool File::isOpen() const noexcept {
    return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr;
}

void File::release() noexcept {
    if (isOpen()) {
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
}

File::File(File&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) {
    other.handle_ = INVALID_HANDLE_VALUE;
}

} // namespace runtime

namespace runtime {

std::vector<FolderEntry> listFolder(const std::string& folder) {
    const std::string path = folder.empty() ? std::string(".\\") : folder;
    const std::string pattern =
        path + (path.back() == '\\' || path.back() == '/' ? "" : "\\") + "*";
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(apiPath(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        throwLastSystemError(path);
    }
    std::vector<FolderEntry> entries;
    do {
        const std::wstring wide = found.cFileName;
        if (wide == L"." || wide == L"..") {
            continue;
        }
        FolderEntry entry;
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                             nullptr, 0, nullptr, nullptr);
        entry.name.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                            entry.name.data(), size, nullptr, nullptr);
        entry.regular =
            (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
        entry.size = static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
        if (entry.regular) {
            entry.identity = fileIdentity(pattern.substr(0, pattern.size() - 1) + entry.name);
        }
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search, &found));
    const DWORD ended = GetLastError();
    FindClose(search);
    if (ended != ERROR_NO_MORE_FILES) {
        throwSystemError(static_cast<int>(ended), path);
    }
    return entries;
}

} // namespace runtime
