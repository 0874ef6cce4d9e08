#pragma once
// Making the standard controls at the layout's places, in twips.

#include <windows.h>

#include <string>

namespace win32 {

// Twips to the screen's pixels (15 twips a pixel at 96 dpi), at the system's scale or
// at a given one.
int pixels(int twips);
int pixels(int twips, int dpi);

// The dots per inch of the monitor a window is on: GetDpiForWindow where Windows has it
// (10, version 1607 on, looked up when the program runs, so Windows 7 still starts it),
// the system's scale elsewhere.
int dpiOf(HWND window);

// The dialog font of the system (on Chinese Windows a CJK face), shared by every control;
// the second at a given scale.
HFONT dialogFont();
HFONT dialogFont(int dpi);
// The font of a one-line field whose inside is `insideHeight` pixels high: the dialog font
// where its cell fits, else the same face with a cell that high, so that the tails of g, p
// and y are not cut off.
HFONT fieldFont(int dpi, int insideHeight);
// A font's cell height in pixels (ascent, descent and internal leading).
int cellHeight(HFONT font);

// After a window moved to a monitor of another scale: every control made by makeControl in
// it goes to its twips place at `dpi`, controls with the dialog or field font get theirs at
// that scale, and labels sized to their text are sized again.
void rescaleControls(HWND parent, int dpi);

// A child control of the given class and styles at (left, top, width, height) twips, with
// the dialog font (a one-line field its field font); `id` is what its notifications carry.
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

// WM_DPICHANGED: the window takes the place Windows suggests and its controls rescale.
// Returns the new scale.
int followDpiChange(HWND window, WPARAM w, LPARAM l);

// Once a window's controls are made: rescales them when the window was made on a monitor of
// another scale than the system's. Returns the window's scale.
int adoptMonitorDpi(HWND window);

// Enter in a window that is no dialog: the dialog manager sends it IDOK; a dialog would
// press the push button that has the focus, so this does. False when none has it.
bool pressFocusedButton(HWND window);

} // namespace win32
