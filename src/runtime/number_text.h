#pragma once

#include <cstdint>
#include <string>

namespace runtime {

// The digit pattern "00#": at least three digits with leading zeros, more when needed
// (1 -> "001", 999 -> "999", 1000 -> "1000").
std::string formatPieceNumber(std::int64_t value);

// part / whole as a percentage with two decimals, rounded half away from zero as the
// percent format does: (1, 3) -> "33.33%", (3, 3) -> "100.00%". Magnitudes up to 2^40.
std::string percentText(std::int64_t part, std::int64_t whole);

// The plain number-to-text form used on screen: a blank where a minus sign would stand,
// "." as the point whatever the locale, up to 15 significant digits, no trailing zeros,
// no zero before the point (0.98 -> " .98", 1.5 -> " 1.5", 0 -> " 0", -0.5 -> "-.5"),
// and the exponent form E+15 / E-05 for very large or small magnitudes.
std::string plainNumberText(double value);

// A plain decimal integer without blanks ("4", "32767").
std::string decimalText(std::int64_t value);

} // namespace runtime
