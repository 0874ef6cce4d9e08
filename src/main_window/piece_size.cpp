#include "main_window/piece_size.h"

#include "runtime/error.h"
#include "runtime/numbers.h"

namespace {

constexpr double kilobyte = 1024;
constexpr double megabyte = 1024.0 * 1024.0;

double presetFactor(int option) {
    return option == 2 ? kilobyte : megabyte;
}

double unitFactor(const std::array<bool, 3>& checked) {
    if (checked[0]) {
        return megabyte;
    }
    if (checked[1]) {
        return kilobyte;
    }
    return 1;
}

} // namespace

std::string firstCharacters(const std::string& utf8, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t seen = 0; end < utf8.size() && seen < count; ++seen) {
        ++end;
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) {
            ++end;
        }
    }
    return utf8.substr(0, end);
}

PieceSizeResult evaluatePieceSize(const SizeSelection& selection) {
    const int option = selection.selectedOption;
    try {
        if (option >= 0 && option <= 2) {
            const double number =
                runtime::readNumericPrefix(firstCharacters(selection.captions[option], 4));
            return runtime::toInt64(number * presetFactor(option));
        }
        if (option == 3) {
            const double number = runtime::readNumericPrefix(selection.customText);
            return runtime::toInt64(number * unitFactor(selection.unitChecked));
        }
        return 0;
    } catch (const runtime::Error& error) {
        // A number past the 64-bit range: Start says so instead of splitting.
        return engine::Problem{engine::Ending::Refused, sizeOutOfRange, error.number()};
    }
}
