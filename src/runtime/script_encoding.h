#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace runtime {

// Text in the code page merge scripts are written in for Simplified Chinese Windows'
// command interpreter: code page 936 (GBK), which on Windows is the system's own ANSI
// code page. Conversions come from iconv on Linux and from the system on Windows.

// The UTF-8 text in the script code page; nothing when a character does not fit it.
std::optional<std::string> toScriptCodePage(std::string_view utf8);
// Bytes in the script code page as UTF-8; nothing when they are not valid in it.
std::optional<std::string> fromScriptCodePage(std::string_view bytes);
// UTF-16 bytes (little- or big-endian, no byte-order mark) as UTF-8; nothing when invalid.
std::optional<std::string> fromUtf16(std::string_view bytes, bool bigEndian);

// True when the bytes are well-formed UTF-8.
bool isUtf8(std::string_view bytes);

} // namespace runtime
