#include "runtime/error.h"
#include "runtime/file.h"

#include <cerrno>

namespace runtime {

ErrorNumber errorNumberFromSystem(int code, const std::string& path) {
    switch (code) {
    case ENOENT:
        // A missing file in an existing folder is "file not found"; a missing folder is not.
        return parentFolderExists(path) ? ErrorNumber::FileNotFound : ErrorNumber::PathNotFound;
    case ENOTDIR:
        return ErrorNumber::NotAFolder;
    case ENAMETOOLONG:
        return ErrorNumber::NameTooLong;
    case ELOOP:
        return ErrorNumber::TooManyLinks;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return ErrorNumber::PermissionDenied;
    case ENOSPC:
    case EDQUOT:
        return ErrorNumber::DiskFull;
    case EFBIG:
        return ErrorNumber::FileTooLarge;
    case EISDIR:
        return ErrorNumber::IsAFolder;
    case EEXIST:
        return ErrorNumber::FileAlreadyExists;
    case EMFILE:
    case ENFILE:
        return ErrorNumber::TooManyFiles;
    case ENOMEDIUM:
    case ENXIO:
    case ENODEV:
        return ErrorNumber::DiskNotReady;
    case EIO:
        return ErrorNumber::DeviceIo;
    default:
        return ErrorNumber::OtherSystemError;
    }
}

void throwLastSystemError(const std::string& path) {
    throwSystemError(errno, path);
}

} // namespace runtime
