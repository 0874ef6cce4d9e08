#pragma once

#include <string>
#include <string_view>

namespace runtime {

// Batch scripts are written in the encoding the system's command interpreter reads:
// the ANSI code page on Windows, UTF-8 (the file names' own encoding) elsewhere.
struct EncodedText {
    std::string bytes;
    // The first character (UTF-8) that the encoding cannot hold; empty when all fit.
    std::string unrepresentable;
};

EncodedText toScriptEncoding(std::string_view utf8);
std::string fromScriptEncoding(std::string_view bytes);

} // namespace runtime
