#include "runtime/error.h"

#include "runtime/file.h"

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#endif

namespace runtime {

std::string describe(ErrorNumber number) {
    switch (number) {
    case ErrorNumber::InvalidArgument:
        return "无效的过程调用或参数";
    case ErrorNumber::Overflow:
        return "溢出";
    case ErrorNumber::DivisionByZero:
        return "除数为零";
    case ErrorNumber::FileNotFound:
        return "文件未找到";
    case ErrorNumber::FileAlreadyOpen:
        return "文件已打开";
    case ErrorNumber::DeviceIo:
        return "设备 I/O 错误";
    case ErrorNumber::DiskFull:
        return "磁盘已满";
    case ErrorNumber::InputPastEnd:
        return "输入超出文件尾";
    case ErrorNumber::PermissionDenied:
        return "拒绝的权限";
    case ErrorNumber::PathFileAccess:
        return "路径/文件访问错误";
    case ErrorNumber::PathNotFound:
        return "路径未找到";
    }
    return "设备 I/O 错误";
}

namespace {
std::string withPath(const std::string& description, const std::string& path) {
    return path.empty() ? description : description + "：" + path;
}
} // namespace

Error::Error(ErrorNumber number, const std::string& path) : Error(number, describe(number), path) {}

Error::Error(ErrorNumber number, const std::string& description, const std::string& path)
    : std::runtime_error(withPath(description, path)), number_(number),
      description_(withPath(description, path)) {}

ErrorNumber errorNumberFromSystem(int code, const std::string& path) {
#ifdef _WIN32
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ErrorNumber::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE:
        return ErrorNumber::PathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return isDirectory(path) ? ErrorNumber::PathFileAccess : ErrorNumber::PermissionDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_FILE_TOO_LARGE:
        return ErrorNumber::DiskFull;
    case ERROR_HANDLE_EOF:
        return ErrorNumber::InputPastEnd;
    case ERROR_DIRECTORY:
        return ErrorNumber::PathFileAccess;
    default:
        return ErrorNumber::DeviceIo;
    }
#else
    switch (code) {
    case ENOENT:
        // A missing file in an existing folder is "file not found"; a missing folder is not.
        return parentFolderExists(path) ? ErrorNumber::FileNotFound : ErrorNumber::PathNotFound;
    case ENOTDIR:
        return ErrorNumber::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return ErrorNumber::PermissionDenied;
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return ErrorNumber::DiskFull;
    case EISDIR:
        return ErrorNumber::PathFileAccess;
    default:
        return ErrorNumber::DeviceIo;
    }
#endif
}

void throwSystemError(int code, const std::string& path) {
    throw Error(errorNumberFromSystem(code, path), path);
}

void throwLastSystemError(const std::string& path) {
#ifdef _WIN32
    throwSystemError(static_cast<int>(GetLastError()), path);
#else
    throwSystemError(errno, path);
#endif
}

} // namespace runtime
