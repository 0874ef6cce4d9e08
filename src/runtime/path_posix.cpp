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

bool namesEqual(const std::string& a, const std::string& b) {
    return a == b;
}

std::optional<std::string> unusableNameReason(const std::string& name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') {
            return "文件名中有控制字符";
        }
    }
    if (name.size() > 255) {
        return "文件名太长（最多255个字节）";
    }
    return std::nullopt;
}

} // namespace runtime
