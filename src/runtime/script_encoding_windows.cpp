#include "runtime/script_encoding.h"

#include "runtime/windows_text.h"

namespace runtime {

namespace {
std::string narrow(std::wstring_view wide, UINT codePage, BOOL* usedDefault) {
    if (wide.empty()) {
        return {};
    }
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int size =
        WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                            nullptr, usedDefault);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                        size, nullptr, usedDefault);
    return bytes;
}
} // namespace

EncodedText toScriptEncoding(std::string_view utf8) {
    const std::wstring wide = widen(utf8, CP_UTF8);
    BOOL usedDefault = FALSE;
    EncodedText result{narrow(wide, CP_ACP, &usedDefault), {}};
    if (usedDefault) {
        // Find the first character that does not survive the code page.
        for (std::size_t i = 0; i < wide.size(); ++i) {
            const std::size_t length = (IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size()) ? 2 : 1;
            BOOL lost = FALSE;
            narrow(std::wstring_view(wide).substr(i, length), CP_ACP, &lost);
            if (lost) {
                result.unrepresentable =
                    narrow(std::wstring_view(wide).substr(i, length), CP_UTF8, nullptr);
                break;
            }
            i += length - 1;
        }
    }
    return result;
}

std::string fromScriptEncoding(std::string_view bytes) {
    return narrow(widen(bytes, CP_ACP), CP_UTF8, nullptr);
}

} // namespace runtime
