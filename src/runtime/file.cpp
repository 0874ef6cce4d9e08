#include "runtime/file.h"

#include "runtime/error.h"

#include "runtime/path.h"

namespace runtime {

namespace {

std::string folderOf(const std::string& path) {
    const PathParts parts = splitPath(path, nativePathStyle());
    if (parts.folder.empty()) {
        return ".";
    }
    // The root keeps its separator; any other folder is named without it.
    return parts.folder.size() == 1 ? parts.folder
                                    : parts.folder.substr(0, parts.folder.size() - 1);
}

} // namespace

bool parentFolderExists(const std::string& path) {
    return isDirectory(folderOf(path));
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
