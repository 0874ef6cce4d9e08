#include "win32/controls.h"

#include "app/twips.h"
#include "win32/win32_text.h"

#include <map>

namespace win32 {

namespace {

int screenDpi() {
    static const int dpi = [] {
        const HDC screen = GetDC(nullptr);
        const int value = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return dpi;
}

// Where each control made here belongs, in twips, and whether it is sized to its text.
// Entries of controls that are gone are dropped before their handles can come back for
// another window.
struct Placed {
    layout::Rect twips;
    bool sizedToText = false;
};
std::map<HWND, Placed>& placed() {
    static std::map<HWND, Placed> controls;
    return controls;
}

void forgetControlsThatAreGone() {
    std::erase_if(placed(), [](const auto& entry) { return !IsWindow(entry.first); });
}

std::map<int, HFONT>& fontsByDpi() {
    static std::map<int, HFONT> fonts;
    return fonts;
}

// Fonts for one-line fields, by scale and the field's inside height.
std::map<std::pair<int, int>, HFONT>& fieldFonts() {
    static std::map<std::pair<int, int>, HFONT> fonts;
    return fonts;
}

bool isOneLineField(HWND control) {
    wchar_t windowClass[16]{};
    GetClassNameW(control, windowClass, 16);
    return lstrcmpiW(windowClass, L"EDIT") == 0 &&
           (GetWindowLongW(control, GWL_STYLE) & ES_MULTILINE) == 0;
}

bool isOwnFont(HFONT font) {
    for (const auto& [scale, known] : fontsByDpi()) {
        if (known == font) {
            return true;
        }
    }
    for (const auto& [key, known] : fieldFonts()) {
        if (known == font) {
            return true;
        }
    }
    return false;
}

// The font a control made here gets at a scale: a one-line field's fits its inside.
HFONT ownFontFor(HWND control, int dpi) {
    if (!isOneLineField(control)) {
        return dialogFont(dpi);
    }
    RECT inside{};
    GetClientRect(control, &inside);
    return fieldFont(dpi, inside.bottom - inside.top);
}

} // namespace

int cellHeight(HFONT font) {
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return metrics.tmHeight;
}

HFONT fieldFont(int dpi, int insideHeight) {
    const HFONT dialog = dialogFont(dpi);
    if (insideHeight <= 0 || cellHeight(dialog) <= insideHeight) {
        return dialog;
    }
    const auto key = std::pair(dpi, insideHeight);
    const auto known = fieldFonts().find(key);
    if (known != fieldFonts().end()) {
        return known->second;
    }
    LOGFONTW face{};
    GetObjectW(dialog, sizeof face, &face);
    // Positive heights are whole cells, tails and accents included; the face may round up.
    HFONT font = nullptr;
    for (face.lfHeight = insideHeight; face.lfHeight > 6; --face.lfHeight) {
        if (font) {
            DeleteObject(font);
        }
        font = CreateFontIndirectW(&face);
        if (cellHeight(font) <= insideHeight) {
            break;
        }
    }
    fieldFonts().emplace(key, font);
    return font;
}

int pixels(int twips) {
    return layout::pixelsAt(twips, screenDpi());
}

int pixels(int twips, int dpi) {
    return layout::pixelsAt(twips, dpi);
}

int dpiOf(HWND window) {
    using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        reinterpret_cast<GetDpiForWindowCall>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : screenDpi();
}

HFONT dialogFont() {
    return dialogFont(screenDpi());
}

HFONT dialogFont(int dpi) {
    auto& fonts = fontsByDpi();
    const auto known = fonts.find(dpi);
    if (known != fonts.end()) {
        return known->second;
    }
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    // The system gives it at the system's scale.
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, screenDpi());
    const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    fonts.emplace(dpi, font);
    return font;
}

HWND makeControl(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style,
                 int id, int left, int top, int width, int height, DWORD extendedStyle) {
    const HWND control = CreateWindowExW(
        extendedStyle, windowClass, wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, pixels(left),
        pixels(top), pixels(width), pixels(height), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(ownFontFor(control, screenDpi())),
                 FALSE);
    forgetControlsThatAreGone();
    placed()[control] = {{left, top, width, height}, false};
    return control;
}

void sizeToText(HWND label) {
    const std::wstring text = wide(textOf(label));
    const HDC dc = GetDC(label);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = SelectObject(dc, font ? font : dialogFont());
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const auto known = placed().find(label);
    if (known != placed().end()) {
        known->second.sizedToText = true;
    }
}

void rescaleControls(HWND parent, int dpi) {
    forgetControlsThatAreGone();
    for (const auto& [control, place] : placed()) {
        if (GetParent(control) != parent) {
            continue;
        }
        const layout::Rect at = layout::pixelsAt(place.twips, dpi);
        SetWindowPos(control, nullptr, at.left, at.top, at.width, at.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        if (isOwnFont(font)) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(ownFontFor(control, dpi)),
                         TRUE);
        }
        if (place.sizedToText) {
            sizeToText(control);
        }
    }
    InvalidateRect(parent, nullptr, TRUE);
}

int adoptMonitorDpi(HWND window) {
    const int dpi = dpiOf(window);
    if (dpi != screenDpi()) {
        rescaleControls(window, dpi);
    }
    return dpi;
}

int followDpiChange(HWND window, WPARAM w, LPARAM l) {
    const int dpi = HIWORD(w);
    const RECT* suggested = reinterpret_cast<const RECT*>(l);
    SetWindowPos(window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    rescaleControls(window, dpi);
    return dpi;
}

void registerWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background, HICON icon) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = procedure;
    type.hInstance = GetModuleHandleW(nullptr);
    type.hIcon = icon;
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = background;
    type.lpszClassName = name;
    RegisterClassExW(&type);
}

SIZE windowSizeFor(DWORD style, DWORD extendedStyle, int width, int height) {
    RECT area{0, 0, pixels(width), pixels(height)};
    AdjustWindowRectEx(&area, style, FALSE, extendedStyle);
    return {area.right - area.left, area.bottom - area.top};
}

bool pressFocusedButton(HWND window) {
    const HWND focus = GetFocus();
    if (!focus || !IsChild(window, focus)) {
        return false;
    }
    wchar_t windowClass[16]{};
    GetClassNameW(focus, windowClass, 16);
    const LONG type = GetWindowLongW(focus, GWL_STYLE) & BS_TYPEMASK;
    if (lstrcmpiW(windowClass, L"BUTTON") != 0 ||
        (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON)) {
        return false;
    }
    SendMessageW(focus, BM_CLICK, 0, 0);
    return true;
}

} // namespace win32
