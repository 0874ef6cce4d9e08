#pragma once

#include "engine/checksum_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// The sets other splitters write: pieces "stem.001", "stem.002", ... (7-Zip, HJSplit and
// lxsplit name them "name.ext.001"; Total Commander "name.001" beside "name.crc").

// A bare name read as such a piece: the stem and the number after its last dot (three
// digits or more, as the pieces' numbers are written).
struct OtherPieceName {
    std::string stem;
    int number = 0;
};
std::optional<OtherPieceName> readOtherPieceName(const std::string& name);
// Piece `number` of the set with this stem.
std::string otherPieceName(const std::string& stem, int number);

// Total Commander's "stem.crc": "filename=", "size=" and "crc32=" (eight hexadecimal
// digits), on lines of their own (CR LF or LF) or on one line.
struct CrcFile {
    std::string filename;
    std::int64_t size = 0;
    std::string crc32; // lower case
};
// Nothing when the text is not such a file (a key missing, a size or a CRC that does not
// read).
std::optional<CrcFile> readCrcFile(std::string_view text);

// A .sfv file: "name CRC32" per line (the CRC last, eight hexadecimal digits), lines
// starting with ";" are comments. Nothing when a line is neither.
std::optional<std::vector<ChecksumLine>> readSfvFile(std::string_view text);

} // namespace engine
