#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// Text in Windows code pages, the same on every platform: from iconv on Linux and from
// the system on Windows.
namespace code_page {
inline constexpr unsigned utf8 = 65001;
inline constexpr unsigned chinese = 936;      // GBK: Simplified Chinese Windows
inline constexpr unsigned westernAnsi = 1252; // English and Western European Windows
inline constexpr unsigned unitedStates = 437; // their command interpreters' OEM pages
inline constexpr unsigned multilingual = 850;
} // namespace code_page

// The UTF-8 text in the code page; nothing when a character does not fit it.
std::optional<std::string> toCodePage(std::string_view utf8, unsigned codePage);
// Bytes in the code page as UTF-8; nothing when they are not valid in it or the platform
// does not know the code page.
std::optional<std::string> fromCodePage(std::string_view bytes, unsigned codePage);
// UTF-16 bytes (little- or big-endian, no byte-order mark) as UTF-8; nothing when invalid.
std::optional<std::string> fromUtf16(std::string_view bytes, bool bigEndian);

// True when the bytes are well-formed UTF-8.
bool isUtf8(std::string_view bytes);

// The code pages this system's programs use besides the fixed ones: on Windows its ANSI
// and its OEM code page; none elsewhere.
std::vector<unsigned> systemCodePages();

} // namespace runtime
