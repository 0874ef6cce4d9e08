#pragma once
// Windows only: text in a code page turned into the wide strings the system's API takes.

#include <windows.h>

#include <string>
#include <string_view>

namespace runtime {

inline std::wstring widen(std::string_view text, UINT codePage = CP_UTF8) {
    if (text.empty()) {
        return {};
    }
    const int size =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

inline std::string narrow(std::wstring_view wide, UINT codePage = CP_UTF8) {
    if (wide.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, nullptr);
    return text;
}

} // namespace runtime
