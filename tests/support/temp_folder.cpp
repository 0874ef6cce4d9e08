#include "temp_folder.h"

#include "runtime/hasher.h"

#include "runtime/file.h"
#include "runtime/path.h"

#include <atomic>
#include <chrono>
#include <iterator>
#include <random>

namespace testing_support {

std::string utf8(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::size_t entriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("splitter-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::file(const std::string& name) const {
    return utf8(path_) + runtime::nativeSeparator() + name;
}

std::string TempFolder::prefix() const {
    return utf8(path_) + runtime::nativeSeparator();
}

std::string randomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

// Through the program's own file layer, so long paths work here as they do there.
void writeFile(const std::string& path, const std::string& bytes) {
    runtime::File file = runtime::File::createOrTruncate(path);
    file.writeAll(bytes.data(), bytes.size());
    file.close();
}

std::string readFile(const std::string& path) {
    runtime::File file = runtime::File::openForReading(path);
    std::string content;
    char buffer[65536];
    for (std::size_t got; (got = file.read(buffer, sizeof buffer)) > 0;) {
        content.append(buffer, got);
    }
    return content;
}

std::string sha256Hex(const std::string& bytes) {
    runtime::Hasher hash;
    hash.update(bytes.data(), bytes.size());
    return hash.finish();
}

} // namespace testing_support
