#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace testing_support {

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // UTF-8 path of a name inside the folder.
    std::string file(const std::string& name) const;
    // The folder as a prefix with its trailing separator.
    std::string prefix() const;

private:
    std::filesystem::path path_;
};

std::string randomBytes(std::size_t size, std::uint32_t seed);
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
std::string utf8(const std::filesystem::path& path);
// The SHA-256 of the bytes as sha256sum writes it.
std::string sha256Hex(const std::string& bytes);
// How many entries a folder holds.
std::size_t entriesIn(const std::filesystem::path& folder);

} // namespace testing_support
