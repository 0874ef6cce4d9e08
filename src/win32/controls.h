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

// Registers a window class (once; later calls change nothing) whose windows hand every
// message to Owner::handle, the owner being what CreateWindowExW's last argument gives.
void registerWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background,
                         HICON icon = nullptr);

template <typename Owner>
LRESULT CALLBACK ownedProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        owner->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return owner ? owner->handle(message, w, l) : DefWindowProcW(window, message, w, l);
}

// The size of a top-level window whose client area is width x height twips.
SIZE windowSizeFor(DWORD style, DWORD extendedStyle, int width, int height);

} // namespace win32
