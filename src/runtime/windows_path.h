#pragma once
// Windows only: the form in which every file call of the program passes a path.

#include <string>

namespace runtime {

// A UTF-8 path as the wide path the file API takes: unchanged while it is short; made
// absolute and given the \\?\ (or \\?\UNC\) prefix when it would pass the classic
// 260-character limit, so long paths work whatever the system's long-path setting.
std::wstring apiPath(const std::string& path);

} // namespace runtime
