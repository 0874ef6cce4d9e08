#include "runtime/file.h"

#include "runtime/error.h"
#include "runtime/path.h"

#include <algorithm>
#include <random>

namespace runtime {

namespace {
constexpr std::string_view temporaryStart = ".corvane-";
constexpr std::string_view temporaryEnd = ".tmp";
constexpr std::size_t temporaryDigits = 16;
} // namespace

std::string newTemporaryName() {
    thread_local std::mt19937_64 numbers{std::random_device{}()};
    const char* digits = "0123456789abcdef";
    std::string name(temporaryStart);
    std::uint64_t value = numbers();
    for (std::size_t i = 0; i < temporaryDigits; ++i, value >>= 4) {
        name += digits[value & 0xF];
    }
    return name + std::string(temporaryEnd);
}

VolumeRoom roomOf(const FileSystemFigures& figures) {
    VolumeRoom room;
    if (figures.fat) {
        room.largestFile = fatLargestFile;
    }
    const auto most = static_cast<std::uint64_t>(room.available);
    const std::uint64_t size = figures.blockSize;
    room.available = static_cast<std::int64_t>(
        size != 0 && figures.blocksAvailable > most / size ? most : figures.blocksAvailable * size);
    room.blockSize = static_cast<std::int64_t>(std::clamp<std::uint64_t>(size, 1, most));
    if (figures.files > 0) {
        room.freeFiles = static_cast<std::int64_t>(std::min(figures.filesFree, most));
    }
    return room;
}

bool isTemporaryName(std::string_view name) {
    if (name.size() != temporaryStart.size() + temporaryDigits + temporaryEnd.size() ||
        name.substr(0, temporaryStart.size()) != temporaryStart ||
        name.substr(name.size() - temporaryEnd.size()) != temporaryEnd) {
        return false;
    }
    const std::string_view digits = name.substr(temporaryStart.size(), temporaryDigits);
    return digits.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

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
