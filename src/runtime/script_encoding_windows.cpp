#include "runtime/script_encoding.h"

#include "runtime/windows_text.h"

namespace runtime {

namespace {

// Wide text in a code page; nothing when a character does not fit it.
std::optional<std::string> narrowExactly(std::wstring_view wide, UINT codePage) {
    if (wide.empty()) {
        return std::string();
    }
    BOOL usedDefault = FALSE;
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL* lost = utf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(codePage, flags, wide.data(),
                                         static_cast<int>(wide.size()), nullptr, 0, nullptr, lost);
    if (size <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                        size, nullptr, lost);
    return bytes;
}

// Bytes in a code page as wide text; nothing when they are not valid there.
std::optional<std::wstring> widenExactly(std::string_view bytes, UINT codePage) {
    if (bytes.empty()) {
        return std::wstring();
    }
    const int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, 0);
    if (size <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                        static_cast<int>(bytes.size()), wide.data(), size);
    return wide;
}

} // namespace

std::optional<std::string> toCodePage(std::string_view utf8, unsigned codePage) {
    const auto wide = widenExactly(utf8, CP_UTF8);
    return wide ? narrowExactly(*wide, codePage) : std::nullopt;
}

std::optional<std::string> fromCodePage(std::string_view bytes, unsigned codePage) {
    const auto wide = widenExactly(bytes, codePage);
    return wide ? narrowExactly(*wide, CP_UTF8) : std::nullopt;
}

bool isUtf8(std::string_view bytes) {
    return widenExactly(bytes, CP_UTF8).has_value();
}

std::optional<std::string> fromUtf16(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    std::wstring wide(bytes.size() / 2, L'\0');
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const auto high = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]);
        const auto low = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]);
        wide[i] = static_cast<wchar_t>((high << 8) | low);
    }
    return narrowExactly(wide, CP_UTF8);
}

std::vector<unsigned> systemCodePages() {
    return {GetACP(), GetOEMCP()};
}

} // namespace runtime
