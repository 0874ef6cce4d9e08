#include "win32/win32_text.h"

#include "runtime/windows_text.h"

namespace win32 {

std::wstring wide(std::string_view utf8) {
    return runtime::widen(utf8, CP_UTF8);
}

std::string utf8(std::wstring_view text) {
    return runtime::narrow(text, CP_UTF8);
}

std::string textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return utf8(text);
}

void setText(HWND window, std::string_view text) {
    SetWindowTextW(window, wide(text).c_str());
}

} // namespace win32
