#pragma once

#include <cstdint>
#include <string_view>

namespace runtime {

// Conversions to integers round half to even (2.5 -> 2, 3.5 -> 4) and throw
// Error(Overflow) when the rounded value is outside the target range.
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);
std::int64_t toInt64(double value);

// 32-bit and 16-bit signed arithmetic that throws Error(Overflow) instead of wrapping.
std::int32_t multiplyInt32(std::int32_t a, std::int32_t b);
std::int16_t addInt16(std::int16_t a, std::int16_t b);

// Rounds half to even to the given number of decimals (0 to 15).
double roundHalfEven(double value, int decimals);

// Reads the longest numeric prefix of text: blanks, tabs and line feeds are ignored
// anywhere; an optional sign, digits, one "." and an exponent (E or D), or the
// "&H" hexadecimal and "&O" / "&" octal literals. Text without such a prefix reads 0.
// The decimal point is "." whatever the locale. Throws Error(Overflow) when the
// number is out of range for a double or its literal's integer type.
double readNumericPrefix(std::string_view text);

} // namespace runtime
