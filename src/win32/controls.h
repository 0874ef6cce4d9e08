#pragma once
// Making the standard controls at the layout's places, in twips.

#include <windows.h>

#include <string>

namespace win32 {

// Twips to the screen's pixels (15 twips a pixel at 96 dpi).
int pixels(int twips);

// The dialog font of the system (on Chinese Windows a CJK face), shared by every control.
HFONT dialogFont();

// A child control of the given class and styles at (left, top, width, height) twips, with
// the dialog font; `id` is what its notifications carry.
HWND makeControl(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style,
                 int id, int left, int top, int width, int height, DWORD extendedStyle = 0);

// A label sized to its text in its font, as labels that size themselves are: the layout's
// twips would clip a CJK face's taller lines.
void sizeToText(HWND label);

// The size of a top-level window whose client area is width x height twips.
SIZE windowSizeFor(DWORD style, DWORD extendedStyle, int width, int height);

} // namespace win32
