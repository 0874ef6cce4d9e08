#include "runtime/ascii_case.h"
#include "runtime/path.h"

#include <algorithm>

namespace runtime {

PathStyle nativePathStyle() {
    return PathStyle::Windows;
}

char nativeSeparator() {
    return '\\';
}

std::string nativePath(const std::string& path) {
    std::string native = path;
    std::replace(native.begin(), native.end(), '/', '\\');
    return native;
}

std::string nameKey(const std::string& name) {
    return lowerAscii(name);
}

} // namespace runtime
