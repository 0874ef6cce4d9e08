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
    // No sharing: a second open of the file fails while it is held; deleted on close, so
    // it goes with the handle even when the process is killed.
    const HANDLE handle = CreateFileW(
        apiPath(prefix + lockName).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
        OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED ||
            code == ERROR_LOCK_VIOLATION) {
            // Access is denied too while the held file is being deleted on its close.
            if (code != ERROR_ACCESS_DENIED ||
                GetFileAttributesW(apiPath(prefix + lockName).c_str()) != INVALID_FILE_ATTRIBUTES) {
                return std::nullopt;
            }
        }
        return FolderLock(nullptr, folderPrefix, fileIdentity(folderPath(folderPrefix)));
    }
    return FolderLock(handle, folderPrefix, fileIdentity(folderPath(folderPrefix)));
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : handle_(other.handle_), folder_(std::move(other.folder_)), identity_(other.identity_) {
    other.handle_ = nullptr;
}

FolderLock::~FolderLock() {
    if (handle_) {
        CloseHandle(handle_);
    }
}

bool FolderLock::stillThere() const {
    return !identity_ || fileIdentity(folderPath(folder_)) == identity_;
}

} // namespace runtime
