#pragma once

#include <stdexcept>
#include <string>

namespace runtime {

// The error numbers the program reports; the descriptions users see are Chinese.
enum class ErrorNumber : int {
    InvalidArgument = 5,
    Overflow = 6,
    DivisionByZero = 11,
    FileNotFound = 53,
    FileAlreadyOpen = 55,
    DeviceIo = 57,
    DiskFull = 61,
    InputPastEnd = 62,
    PermissionDenied = 70,
    PathFileAccess = 75,
    PathNotFound = 76,
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

private:
    ErrorNumber number_;
    std::string description_;
};

// Maps an operating-system error code for the named file onto our numbers.
// On POSIX the code is an errno value; on Windows a GetLastError() value.
ErrorNumber errorNumberFromSystem(int code, const std::string& path);

// Throws the mapped error for the calling thread's last system error.
[[noreturn]] void throwLastSystemError(const std::string& path);
[[noreturn]] void throwSystemError(int code, const std::string& path);

} // namespace runtime
