#include "engine/piece_set.h"

#include "runtime/number_text.h"
#include "runtime/path.h"

#include <charconv>

namespace engine {

namespace {

// The split's numbers have at least this many digits.
constexpr std::size_t minimumDigits = 3;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number the digits stand for, when they are how the split writes it; 0 otherwise.
int pieceNumberFromDigits(std::string_view digits) {
    if (digits.size() < minimumDigits || digits.size() > 5) {
        return 0;
    }
    for (const char c : digits) {
        if (!isDigit(c)) {
            return 0;
        }
    }
    int number = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (number < 1 || number > maxPieceCount || runtime::formatPieceNumber(number) != digits) {
        return 0; // "0001" or "000" is not how the split numbers pieces
    }
    return number;
}

} // namespace

PieceSet::PieceSet(std::string folder, std::string base, std::string extension)
    : folder_(std::move(folder)), base_(std::move(base)), extension_(std::move(extension)) {}

PieceSet PieceSet::forSource(const std::string& folder, const std::string& sourceName) {
    const auto dot = sourceName.find('.');
    if (dot == std::string::npos) {
        return PieceSet(folder, sourceName, {});
    }
    return PieceSet(folder, sourceName.substr(0, dot), sourceName.substr(dot));
}

std::string PieceSet::pieceName(int number) const {
    return base_ + runtime::formatPieceNumber(number) + extension_;
}

int PieceSet::pieceNumber(std::string_view name) const {
    if (name.size() < base_.size() + extension_.size() + minimumDigits) {
        return 0;
    }
    const std::string_view head = name.substr(0, base_.size());
    const std::string_view tail = name.substr(name.size() - extension_.size());
    if (runtime::nameKey(std::string(head)) != runtime::nameKey(base_) ||
        runtime::nameKey(std::string(tail)) != runtime::nameKey(extension_)) {
        return 0;
    }
    return pieceNumberFromDigits(
        name.substr(base_.size(), name.size() - base_.size() - extension_.size()));
}

std::string fittingName(const std::string& name, const std::string& suffix) {
    // 255 bytes on ext4, 255 UTF-16 units on NTFS, and UTF-8 never takes fewer bytes
    // than UTF-16 takes units.
    constexpr std::size_t longestName = 255;
    if (name.size() + suffix.size() <= longestName) {
        return name + suffix;
    }
    std::size_t keep = longestName - suffix.size() - 1;
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    return name.substr(0, keep) + "~" + suffix;
}

std::string temporaryName(const std::string& name, int attempt) {
    return fittingName(name, ".part" + (attempt > 0 ? runtime::decimalText(attempt) : ""));
}

std::vector<PieceReading> readPieceName(const std::string& name) {
    const PieceSet whole = PieceSet::forSource({}, name);
    const std::string& stem = whole.base();
    std::size_t digits = 0;
    while (digits < stem.size() && isDigit(stem[stem.size() - 1 - digits])) {
        ++digits;
    }
    std::vector<PieceReading> readings;
    for (std::size_t length = minimumDigits; length <= digits; ++length) {
        const std::size_t cut = stem.size() - length;
        const int number = pieceNumberFromDigits(std::string_view(stem).substr(cut));
        if (number > 0) {
            readings.push_back({PieceSet({}, stem.substr(0, cut), whole.extension()), number});
        }
    }
    return readings;
}

} // namespace engine
