// The checksum files the merge reads: this program's own (sha256sum's format, md5sum's
// too), other tools' .crc and .sfv files. Whatever they read, they write back the same.
#include "engine/checksum_file.h"
#include "engine/other_sets.h"
#include "fuzz_check.h"

#include <cstdint>

namespace {

bool isLowerHex(const std::string& text, std::size_t digits) {
    return text.size() == digits && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

void ownFormat(std::string_view text) {
    for (const std::size_t digits : {std::size_t{64}, std::size_t{32}}) {
        const auto lines = engine::readChecksumLines(text, digits);
        if (!lines) {
            continue;
        }
        std::string written;
        bool writable = true;
        for (const auto& line : *lines) {
            require(isLowerHex(line.hex, digits), "hashes read are lower-case hex", line.hex);
            writable = writable && line.name.find_first_of("\r\n") == std::string::npos &&
                       !line.name.empty();
            written += engine::checksumLine(line);
        }
        if (writable) {
            const auto again = engine::readChecksumLines(written, digits);
            require(again && *again == *lines, "checksum lines written read back the same");
        }
    }
    if (const auto sums = engine::readChecksums(text)) {
        require(!sums->pieces.empty(), "a set's checksum file lists at least one piece");
    }
}

void crcFile(std::string_view text) {
    const auto crc = engine::readCrcFile(text);
    if (!crc) {
        return;
    }
    require(isLowerHex(crc->crc32, 8), "a .crc file's CRC is eight hex digits", crc->crc32);
    require(!crc->filename.empty() && crc->size >= 0, "a .crc file names a file and a size");
    if (crc->filename.find_first_of("\r\n") == std::string::npos &&
        crc->filename.find("size=") == std::string::npos &&
        crc->filename.find("crc32=") == std::string::npos &&
        crc->filename.find("filename=") == std::string::npos) {
        const std::string written = "filename=" + crc->filename +
                                    "\r\nsize=" + std::to_string(crc->size) +
                                    "\r\ncrc32=" + crc->crc32 + "\r\n";
        const auto again = engine::readCrcFile(written);
        require(again && again->filename == crc->filename && again->size == crc->size &&
                    again->crc32 == crc->crc32,
                "a .crc file written reads back the same", crc->filename);
    }
}

void sfvFile(std::string_view text) {
    const auto lines = engine::readSfvFile(text);
    if (!lines) {
        return;
    }
    std::string written;
    for (const auto& line : *lines) {
        require(isLowerHex(line.hex, 8), "an .sfv CRC is eight hex digits", line.hex);
        require(!line.name.empty() && line.name.front() != ';', "an .sfv line names a file");
        written += line.name + " " + line.hex + "\r\n";
    }
    const auto again = engine::readSfvFile(written);
    require(again && *again == *lines, "an .sfv file written reads back the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ownFormat(text);
    crcFile(text);
    sfvFile(text);
    return 0;
}
