#include "engine/checksum_file.h"

#include "engine/atomic_file.h"
#include "engine/merge_script_reader.h"
#include "engine/piece_set.h"
#include "runtime/ascii_case.h"
#include "runtime/path.h"

namespace engine {

namespace {} // namespace

std::string checksumLine(const ChecksumLine& entry) {
    if (entry.name.find('\\') == std::string::npos) {
        return entry.hex + "  " + entry.name + "\n";
    }
    std::string escaped;
    for (const char c : entry.name) {
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return "\\" + entry.hex + "  " + escaped + "\n";
}

namespace {

bool isHex(std::string_view text, std::size_t hexDigits) {
    if (text.size() != hexDigits) {
        return false;
    }
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

std::optional<ChecksumLine> parseLine(std::string_view text, std::size_t hexDigits) {
    const bool escaped = !text.empty() && text.front() == '\\';
    if (escaped) {
        text.remove_prefix(1);
    }
    // "<hex>  <name>" (text mode) or "<hex> *<name>" (binary mode).
    if (text.size() < hexDigits + 3 || !isHex(text.substr(0, hexDigits), hexDigits) ||
        text[hexDigits] != ' ' || (text[hexDigits + 1] != ' ' && text[hexDigits + 1] != '*')) {
        return std::nullopt;
    }
    ChecksumLine entry;
    entry.hex = runtime::lowerAscii(std::string(text.substr(0, hexDigits)));
    const std::string_view name = text.substr(hexDigits + 2);
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (escaped && name[i] == '\\' && i + 1 < name.size()) {
            ++i;
            entry.name += name[i] == 'n' ? '\n' : name[i];
        } else {
            entry.name += name[i];
        }
    }
    return entry;
}

} // namespace

std::string checksumFileName(const std::string& targetName) {
    return fittingName(targetName, ".sha256");
}

std::optional<std::vector<ChecksumLine>> readChecksumLines(std::string_view text,
                                                           std::size_t hexDigits) {
    std::vector<ChecksumLine> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view current = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!current.empty() && current.back() == '\r') {
            current.remove_suffix(1);
        }
        if (current.empty()) {
            continue;
        }
        auto entry = parseLine(current, hexDigits);
        if (!entry) {
            return std::nullopt;
        }
        lines.push_back(std::move(*entry));
    }
    return lines;
}

std::optional<SetChecksums> readChecksums(std::string_view text) {
    auto lines = readChecksumLines(text, 64);
    if (!lines || lines->size() < 2) {
        return std::nullopt;
    }
    SetChecksums sums;
    sums.whole = lines->back();
    lines->pop_back();
    sums.pieces = std::move(*lines);
    return sums;
}

bool forEachListReading(std::string_view bytes, const std::function<bool(std::string_view)>& read) {
    return forEachTextReading(bytes,
                              [&](const ScriptReading& reading) { return read(reading.text); });
}

void writeChecksumFile(FileOpener& files, const std::string& path, std::size_t lines,
                       const std::function<std::string(std::size_t)>& line,
                       std::uint32_t permissions) {
    // A checksum file is either complete or absent.
    AtomicFile file(files, path, permissions);
    // Written in blocks, so a set of many pieces needs no text of them all at once.
    constexpr std::size_t block = 64 << 10;
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) {
        text += line(i);
        if (text.size() >= block || i + 1 == lines) {
            file.write(text);
            text.clear();
        }
    }
    file.commit();
}

} // namespace engine
