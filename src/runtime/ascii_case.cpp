#include "runtime/ascii_case.h"

namespace runtime {

char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string upperAscii(std::string text) {
    for (char& c : text) {
        c = upperAscii(c);
    }
    return text;
}

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

bool endsWithIgnoringAsciiCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           upperAscii(std::string(text.substr(text.size() - ending.size()))) ==
               upperAscii(std::string(ending));
}

} // namespace runtime
