#include "runtime/file.h"

#include "runtime/error.h"

#include <cctype>

namespace runtime {

namespace {

std::string folderOf(const std::string& path) {
    const auto cut = path.find_last_of(nativeSeparator() == '\\' ? "\\/" : "/");
    if (cut == std::string::npos) {
        return ".";
    }
    if (cut == 0) {
        return path.substr(0, 1);
    }
    return path.substr(0, cut);
}

} // namespace

bool parentFolderExists(const std::string& path) {
    return isDirectory(folderOf(path));
}

bool namesEqual(const std::string& a, const std::string& b) {
#ifdef _WIN32
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
#else
    return a == b;
#endif
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        release();
        handle_ = other.handle_;
        path_ = std::move(other.path_);
        other.handle_ = invalidHandle();
    }
    return *this;
}

File::~File() {
    release();
}

} // namespace runtime
