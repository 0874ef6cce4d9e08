#include "runtime/numbers.h"

#include "runtime/error.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace runtime {

namespace {

template <typename Int> Int roundToInteger(double value) {
    if (std::isnan(value)) {
        throw Error(ErrorNumber::Overflow);
    }
    // std::nearbyint rounds half to even under the default rounding mode.
    const double rounded = std::nearbyint(value);
    // The range is [-2^n, 2^n): 2^n itself is a double (2^63 - 1 is not, and rounds up).
    const double limit = std::ldexp(1.0, std::numeric_limits<Int>::digits);
    if (rounded < -limit || rounded >= limit) {
        throw Error(ErrorNumber::Overflow);
    }
    return static_cast<Int>(rounded);
}

bool isIgnoredBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

int digitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

// "&H..." and "&O..." literals: up to 16 bits they read as a 16-bit signed value, up to
// 32 bits as a 32-bit signed value (so &HFFFF is -1), beyond that they overflow.
double readRadixLiteral(const std::string& s, std::size_t pos, int radix) {
    std::uint64_t value = 0;
    bool any = false;
    while (pos < s.size() && digitValue(s[pos]) < radix) {
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digitValue(s[pos]));
        if (value > 0xFFFFFFFFu) {
            throw Error(ErrorNumber::Overflow);
        }
        any = true;
        ++pos;
    }
    if (!any) {
        return 0;
    }
    if (value <= 0xFFFFu) {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

} // namespace

std::int16_t toInt16(double value) {
    return roundToInteger<std::int16_t>(value);
}
std::int32_t toInt32(double value) {
    return roundToInteger<std::int32_t>(value);
}
std::int64_t toInt64(double value) {
    return roundToInteger<std::int64_t>(value);
}

std::int32_t multiplyInt32(std::int32_t a, std::int32_t b) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    if (product < std::numeric_limits<std::int32_t>::min() ||
        product > std::numeric_limits<std::int32_t>::max()) {
        throw Error(ErrorNumber::Overflow);
    }
    return static_cast<std::int32_t>(product);
}

std::int16_t addInt16(std::int16_t a, std::int16_t b) {
    const int sum = a + b;
    if (sum < std::numeric_limits<std::int16_t>::min() ||
        sum > std::numeric_limits<std::int16_t>::max()) {
        throw Error(ErrorNumber::Overflow);
    }
    return static_cast<std::int16_t>(sum);
}

double roundHalfEven(double value, int decimals) {
    if (decimals < 0 || decimals > 15) {
        throw Error(ErrorNumber::InvalidArgument);
    }
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    if (!std::isfinite(scaled)) {
        return value;
    }
    return std::nearbyint(scaled) / scale;
}

double readNumericPrefix(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (!isIgnoredBlank(c)) {
            s.push_back(c);
        }
    }

    if (!s.empty() && s[0] == '&') {
        if (s.size() > 1 && (s[1] == 'H' || s[1] == 'h')) {
            return readRadixLiteral(s, 2, 16);
        }
        if (s.size() > 1 && (s[1] == 'O' || s[1] == 'o')) {
            return readRadixLiteral(s, 2, 8);
        }
        return readRadixLiteral(s, 1, 8);
    }

    // Build the longest prefix of the form [sign] digits [. digits] [E|D [sign] digits].
    std::string number;
    std::size_t pos = 0;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        number.push_back(s[pos++]);
    }
    bool mantissaDigits = false;
    while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos]))) {
        number.push_back(s[pos++]);
        mantissaDigits = true;
    }
    if (pos < s.size() && s[pos] == '.') {
        number.push_back(s[pos++]);
        while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos]))) {
            number.push_back(s[pos++]);
            mantissaDigits = true;
        }
    }
    if (!mantissaDigits) {
        return 0;
    }
    if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e' || s[pos] == 'D' || s[pos] == 'd')) {
        std::size_t exponentPos = pos + 1;
        std::string exponent = "e";
        if (exponentPos < s.size() && (s[exponentPos] == '+' || s[exponentPos] == '-')) {
            exponent.push_back(s[exponentPos++]);
        }
        bool exponentDigits = false;
        while (exponentPos < s.size() && std::isdigit(static_cast<unsigned char>(s[exponentPos]))) {
            exponent.push_back(s[exponentPos++]);
            exponentDigits = true;
        }
        if (exponentDigits) {
            number += exponent;
        }
    }

    // from_chars is locale independent: "." is the point whatever the user's locale.
    const char* first = number.data();
    if (*first == '+') {
        ++first;
    }
    double value = 0;
    const auto [end, status] = std::from_chars(first, number.data() + number.size(), value);
    (void)end;
    if (status == std::errc::result_out_of_range) {
        // Underflow reads as zero; only a number too large for a double is an overflow.
        const bool negativeExponent = number.find("e-") != std::string::npos;
        const bool hasExponent = number.find('e') != std::string::npos;
        const auto integerEnd = number.find_first_of(".e");
        const bool zeroIntegerPart =
            number.substr(0, integerEnd).find_first_of("123456789") == std::string::npos;
        if (!negativeExponent && !(zeroIntegerPart && !hasExponent)) {
            throw Error(ErrorNumber::Overflow);
        }
        return 0;
    }
    return value;
}

} // namespace runtime
