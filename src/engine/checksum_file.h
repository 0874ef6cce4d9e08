#pragma once

#include "engine/file_opener.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// The checksum file beside a set, <target>.sha256, in GNU sha256sum's format: one
// line per piece in order, then one for the joined file, so that sha256sum -c,
// shasum -a 256 -c and other tools can check a set without this program.
struct ChecksumLine {
    std::string hex; // 64 lower-case hexadecimal digits
    std::string name;
    bool operator==(const ChecksumLine&) const = default;
};

struct SetChecksums {
    std::vector<ChecksumLine> pieces;
    ChecksumLine whole;
};

// <target>.sha256, shortened where that would be too long a name.
std::string checksumFileName(const std::string& targetName);

// One line of the file: "<hex>  <name>\n"; a name holding "\" is written as
// sha256sum writes it (the line starts with "\" and the backslash is doubled).
std::string checksumLine(const ChecksumLine& entry);

// Writes the checksum file's lines (line(0) to line(lines - 1)) as an AtomicFile.
void writeChecksumFile(FileOpener& files, const std::string& path, std::size_t lines,
                       const std::function<std::string(std::size_t)>& line,
                       std::uint32_t permissions = runtime::File::defaultPermissions);

// The lines of a file in that format with hashes of `hexDigits` digits (md5sum's are 32),
// blank lines skipped; nothing when a line is not such a line.
std::optional<std::vector<ChecksumLine>> readChecksumLines(std::string_view text,
                                                           std::size_t hexDigits);

// Reads the text back; nothing when it is not such a file of at least two lines.
std::optional<SetChecksums> readChecksums(std::string_view text);

// Calls `read` with the texts a list's bytes (a checksum file, .sfv, .md5 or .crc) may stand
// for, in UTF-8 and in the fixed order scripts are read in (a byte-order mark's alone, else
// UTF-8, 936, 1252, 437, 850 and the system's own pages), until it takes one (returns true).
// So a list from any system gives names that are text.
bool forEachListReading(std::string_view bytes, const std::function<bool(std::string_view)>& read);

// The first reading of a list's bytes that `read` makes something of (read returns an
// optional); nothing when none does.
template <class Read>
auto readListBytes(std::string_view bytes, Read read) -> decltype(read(std::string_view())) {
    decltype(read(std::string_view())) found;
    forEachListReading(bytes, [&](std::string_view text) {
        found = read(text);
        return found.has_value();
    });
    return found;
}

} // namespace engine
