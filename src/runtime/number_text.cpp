#include "runtime/number_text.h"

#include <charconv>
#include <cstdlib>

namespace runtime {

std::string formatPieceNumber(std::int64_t value) {
    std::string digits = decimalText(value < 0 ? -value : value);
    if (digits.size() < 3) {
        digits.insert(0, 3 - digits.size(), '0');
    }
    return value < 0 ? "-" + digits : digits;
}

std::string percentText(std::int64_t part, std::int64_t whole) {
    if (whole == 0) {
        return "0.00%";
    }
    // Hundredths of a percent, exact in integers, halves rounded away from zero.
    const bool negative = (part < 0) != (whole < 0);
    const auto num = static_cast<std::uint64_t>(part < 0 ? -part : part) * 10000u;
    const auto den = static_cast<std::uint64_t>(whole < 0 ? -whole : whole);
    const std::uint64_t hundredths = (num * 2 + den) / (den * 2);
    std::string text = decimalText(static_cast<std::int64_t>(hundredths / 100));
    const auto fraction = hundredths % 100;
    text += '.';
    text += static_cast<char>('0' + fraction / 10);
    text += static_cast<char>('0' + fraction % 10);
    return (negative && hundredths != 0 ? "-" : "") + text + "%";
}

std::string plainNumberText(double value) {
    if (value == 0) {
        return " 0";
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    const bool negative = text.front() == '-';
    if (negative) {
        text.erase(0, 1);
    }
    if (text.size() > 1 && text[0] == '0' && text[1] == '.') {
        text.erase(0, 1);
    }
    return (negative ? "-" : " ") + text;
}

std::string decimalText(std::int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace runtime
