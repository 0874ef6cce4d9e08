#pragma once
// UTF-8, which the engine and the rules speak, to and from the wide text of the Windows API.

#include <windows.h>

#include <string>
#include <string_view>

namespace win32 {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view text);
// A window's text as UTF-8.
std::string textOf(HWND window);
void setText(HWND window, std::string_view utf8);

} // namespace win32
