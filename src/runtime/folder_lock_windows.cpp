#include "runtime/folder_lock.h"

#include "runtime/windows_path.h"

#include <windows.h>

namespace runtime {

namespace {
// Hidden, and of no shape the program reads as a piece, a script or a list.
constexpr const char* lockName = ".corvane-lock";

std::string folderPath(const std::string& folderPrefix) {
    return folderPrefix.empty() ? std::string(".") : folderPrefix;
}
} // namespace

std::optional<FolderLock> FolderLock::tryHold(const std::string& folderPrefix) {
    const std::string prefix = folderPrefix.empty() ? std::string(".\\") : folderPrefix;
    const std::string folder = folderPath(folderPrefix);
    // No sharing: a second open of the file fails while it is held; deleted on close, so
    // it goes with the handle even when the process is killed.
    const HANDLE handle = CreateFileW(
        apiPath(prefix + lockName).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
        OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        // Access is denied too while a held file is being deleted on its close.
        const bool held =
            code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
            (code == ERROR_ACCESS_DENIED &&
             GetFileAttributesW(apiPath(prefix + lockName).c_str()) != INVALID_FILE_ATTRIBUTES);
        if (held) {
            return std::nullopt;
        }
        // A read-only or missing folder: the run's own opens report what there is to report.
        return FolderLock(nullptr, nullptr, folderPrefix, fileIdentity(folder));
    }
    // The folder itself (not what a junction there leads to), open without delete sharing:
    // it cannot be renamed, removed or replaced while the run holds it.
    HANDLE folderHandle = CreateFileW(
        apiPath(folder).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (folderHandle == INVALID_HANDLE_VALUE) {
        folderHandle = nullptr;
    }
    return FolderLock(handle, folderHandle, folderPrefix, fileIdentity(folder));
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : handle_(other.handle_), folderHandle_(other.folderHandle_), folder_(std::move(other.folder_)),
      identity_(other.identity_) {
    other.handle_ = nullptr;
    other.folderHandle_ = nullptr;
}

FolderLock::~FolderLock() {
    if (folderHandle_) {
        CloseHandle(folderHandle_);
    }
    if (handle_) {
        CloseHandle(handle_);
    }
}

bool FolderLock::stillThere() const {
    return !identity_ || fileIdentity(folderPath(folder_)) == identity_;
}

} // namespace runtime
