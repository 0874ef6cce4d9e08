#include "runtime/script_encoding.h"

#include <cerrno>
#include <iconv.h>

namespace runtime {

namespace {

// What the C library's iconv makes of the bytes; nothing when they do not convert whole.
std::optional<std::string> convert(std::string_view bytes, const char* to, const char* from) {
    const iconv_t converter = ::iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string out(bytes.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* put = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = ::iconv(converter, &in, &inLeft, &put, &outLeft);
    ::iconv_close(converter);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0 || result != 0) {
        return std::nullopt; // a character without a place there counts as not fitting
    }
    out.resize(out.size() - outLeft);
    return out;
}

// iconv's name of a Windows code page.
std::string iconvName(unsigned codePage) {
    return codePage == code_page::utf8 ? "UTF-8" : "CP" + std::to_string(codePage);
}

} // namespace

std::optional<std::string> toCodePage(std::string_view utf8, unsigned codePage) {
    return convert(utf8, iconvName(codePage).c_str(), "UTF-8");
}

std::optional<std::string> fromCodePage(std::string_view bytes, unsigned codePage) {
    return convert(bytes, "UTF-8", iconvName(codePage).c_str());
}

bool isUtf8(std::string_view bytes) {
    return convert(bytes, "UTF-16LE", "UTF-8").has_value();
}

std::optional<std::string> fromUtf16(std::string_view bytes, bool bigEndian) {
    return convert(bytes, "UTF-8", bigEndian ? "UTF-16BE" : "UTF-16LE");
}

std::vector<unsigned> systemCodePages() {
    return {};
}

} // namespace runtime
