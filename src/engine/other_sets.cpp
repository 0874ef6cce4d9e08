#include "engine/other_sets.h"

#include "runtime/ascii_case.h"
#include "runtime/number_text.h"

#include <charconv>

namespace engine {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool allHex(std::string_view text) {
    return text.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (isBlank(text.front()) || text.front() == '\r')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// The lines of a text, CR LF or LF, without their ends.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        lines.push_back(trimmed(text.substr(0, end)));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

} // namespace

std::optional<OtherPieceName> readOtherPieceName(const std::string& name) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        return std::nullopt;
    }
    const std::string_view digits = std::string_view(name).substr(dot + 1);
    if (digits.size() < 3 || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    int number = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), number);
    // Written as the pieces are written: "001", "999", "1000", never "0001".
    if (number == 0 || runtime::formatPieceNumber(number) != digits) {
        return std::nullopt;
    }
    return OtherPieceName{name.substr(0, dot), number};
}

std::string otherPieceName(const std::string& stem, int number) {
    return stem + "." + runtime::formatPieceNumber(number);
}

std::optional<CrcFile> readCrcFile(std::string_view text) {
    static constexpr std::string_view keys[] = {"filename=", "size=", "crc32="};
    std::vector<std::string_view> lines;
    for (const std::string_view line : linesOf(text)) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    // Many lines: a key starts each, so a name may hold " size=" itself. One line: each key
    // starts at the line's start or after a blank and its value runs to the next key.
    const bool oneLine = lines.size() == 1;
    std::optional<std::string> values[3];
    for (const std::string_view line : lines) {
        const std::string upper = runtime::upperAscii(std::string(line));
        std::size_t starts[3];
        for (std::size_t k = 0; k < 3; ++k) {
            const std::string key = runtime::upperAscii(std::string(keys[k]));
            starts[k] = upper.rfind(key, 0) == 0 ? 0 : std::string::npos;
            for (auto at = upper.find(key);
                 oneLine && starts[k] == std::string::npos && at != std::string::npos;
                 at = upper.find(key, at + 1)) {
                if (isBlank(upper[at - 1])) {
                    starts[k] = at;
                }
            }
        }
        for (std::size_t k = 0; k < 3; ++k) {
            if (starts[k] == std::string::npos || (!oneLine && values[k])) {
                continue;
            }
            std::size_t end = line.size();
            for (std::size_t other = 0; other < 3; ++other) {
                if (starts[other] != std::string::npos && starts[other] > starts[k]) {
                    end = std::min(end, starts[other]);
                }
            }
            const std::size_t from = starts[k] + keys[k].size();
            values[k] = std::string(trimmed(line.substr(from, end - from)));
            if (!oneLine) {
                break; // one key a line
            }
        }
    }
    if (!values[0] || !values[1] || !values[2] || values[0]->empty()) {
        return std::nullopt;
    }
    CrcFile file;
    file.filename = *values[0];
    const std::string& size = *values[1];
    const auto [end, status] = std::from_chars(size.data(), size.data() + size.size(), file.size);
    if (status != std::errc() || end != size.data() + size.size() || file.size < 0) {
        return std::nullopt;
    }
    if (values[2]->size() != 8 || !allHex(*values[2])) {
        return std::nullopt;
    }
    file.crc32 = runtime::lowerAscii(*values[2]);
    return file;
}

std::optional<std::vector<ChecksumLine>> readSfvFile(std::string_view text) {
    std::vector<ChecksumLine> lines;
    for (const std::string_view line : linesOf(text)) {
        if (line.empty() || line.front() == ';') {
            continue;
        }
        const auto blank = line.find_last_of(" \t");
        if (blank == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view crc = line.substr(blank + 1);
        const std::string_view name = trimmed(line.substr(0, blank));
        if (crc.size() != 8 || !allHex(crc) || name.empty()) {
            return std::nullopt;
        }
        lines.push_back({runtime::lowerAscii(std::string(crc)), std::string(name)});
    }
    if (lines.empty()) {
        return std::nullopt;
    }
    return lines;
}

} // namespace engine
