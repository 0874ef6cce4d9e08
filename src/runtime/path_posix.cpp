#include "runtime/path.h"

namespace runtime {

PathStyle nativePathStyle() {
    return PathStyle::Posix;
}

char nativeSeparator() {
    return '/';
}

std::string nativePath(const std::string& path) {
    return path;
}

std::string nameKey(const std::string& name) {
    return name;
}

} // namespace runtime
