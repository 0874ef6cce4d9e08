#pragma once

#include <string>
#include <string_view>

namespace runtime {

// Case of the letters A-Z only, whatever the locale: the command interpreter and
// Windows' file systems fold these, and every other byte (UTF-8 included) stays.
char upperAscii(char c);
std::string upperAscii(std::string text);
std::string lowerAscii(std::string text);
bool endsWithIgnoringAsciiCase(std::string_view text, std::string_view ending);

} // namespace runtime
