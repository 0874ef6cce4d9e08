#pragma once

#include <stdexcept>
#include <string>

namespace runtime {

// The error numbers the program reports; the descriptions users see are Chinese.
enum class ErrorNumber : int {
    InvalidArgument = 5,
    Overflow = 6,
    DivisionByZero = 11,
    NameTooLong = 52,
    FileNotFound = 53,
    FileAlreadyOpen = 55,
    DeviceIo = 57,
    FileAlreadyExists = 58,
    DiskFull = 61,
    InputPastEnd = 62,
    TooManyFiles = 67,
    PermissionDenied = 70,
    DiskNotReady = 71,
    PathFileAccess = 75,
    PathNotFound = 76,
    // Our own, beyond the classic runtime's numbers.
    OtherSystemError = 1000,
    TooManyLinks = 1001,
    NotAFolder = 1002,
    NotRegularFile = 1003,
    FileTooLarge = 1004,
    FileInUse = 1005,
    IsAFolder = 1006,
};

// Chinese description of an error number, without any file name.
std::string describe(ErrorNumber number);

class Error : public std::runtime_error {
public:
    // The description is the number's own; with a path it reads "<description>：<path>".
    explicit Error(ErrorNumber number, const std::string& path = {});
    Error(ErrorNumber number, const std::string& description, const std::string& path);

    ErrorNumber number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    // The same error about another file: what a temporary file meets is told of the
    // file it stands in for.
    Error at(const std::string& path) const { return Error(number_, reason_, path); }

private:
    ErrorNumber number_;
    std::string reason_;
    std::string description_;
};

// Maps an operating-system error code for the named file onto our numbers.
// On POSIX the code is an errno value; on Windows a GetLastError() value. A code
// without a mapping of its own is OtherSystemError.
ErrorNumber errorNumberFromSystem(int code, const std::string& path);
// The error for a system code: the mapped number, and for OtherSystemError a
// description that carries the code, so it can be looked up.
Error systemError(int code, const std::string& path);

// Throws the mapped error for the calling thread's last system error.
[[noreturn]] void throwLastSystemError(const std::string& path);
[[noreturn]] void throwSystemError(int code, const std::string& path);

} // namespace runtime
