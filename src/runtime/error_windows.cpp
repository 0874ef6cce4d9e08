#include "runtime/error.h"
#include "runtime/file.h"

#include <windows.h>

namespace runtime {

ErrorNumber errorNumberFromSystem(int code, const std::string& path) {
    switch (static_cast<DWORD>(code)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ErrorNumber::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE:
        return ErrorNumber::PathNotFound;
    case ERROR_FILENAME_EXCED_RANGE:
        return ErrorNumber::NameTooLong;
    case ERROR_CANT_RESOLVE_FILENAME:
        return ErrorNumber::TooManyLinks;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return isDirectory(path) ? ErrorNumber::IsAFolder : ErrorNumber::PermissionDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return ErrorNumber::FileInUse;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ErrorNumber::DiskFull;
    case ERROR_FILE_TOO_LARGE:
        return ErrorNumber::FileTooLarge;
    case ERROR_HANDLE_EOF:
        return ErrorNumber::InputPastEnd;
    case ERROR_DIRECTORY:
        return ErrorNumber::IsAFolder;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return ErrorNumber::FileAlreadyExists;
    case ERROR_TOO_MANY_OPEN_FILES:
        return ErrorNumber::TooManyFiles;
    case ERROR_NOT_READY:
        return ErrorNumber::DiskNotReady;
    case ERROR_CRC:
    case ERROR_SEEK:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return ErrorNumber::DeviceIo;
    default:
        return ErrorNumber::OtherSystemError;
    }
}

void throwLastSystemError(const std::string& path) {
    throwSystemError(static_cast<int>(GetLastError()), path);
}

} // namespace runtime
