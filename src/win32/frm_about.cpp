#include "win32/frm_about.h"

#include "about_box/about_text.h"
#include "win32/controls.h"
#include "win32/win32_text.h"

#include <functional>

namespace win32 {

namespace {

constexpr const wchar_t* windowClass = L"CorvanefrmAbout";
constexpr COLORREF pink = RGB(255, 192, 192);

// The window class is registered once, with this brush: it lives as long as the program,
// for every box opened after the first as for the first.
HBRUSH pinkBrush() {
    static const HBRUSH brush = CreateSolidBrush(pink);
    return brush;
}
frmAbout* loaded = nullptr;

// A Chinese face in the GB2312 character set, `points` high at `dpi` dots per inch.
HFONT chineseFont(const wchar_t* face, double points, bool bold, int dpi) {
    const int height = -MulDiv(static_cast<int>(points * 100), dpi, 7200);
    return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

// A label that takes its own clicks (SS_NOTIFY), so only bare background closes the box.
HWND label(HWND parent, int left, int top, int width, int height, HFONT font) {
    const HWND made =
        makeControl(parent, L"STATIC", "", SS_LEFT | SS_NOTIFY, 0xFFFF, left, top, width, height);
    if (font) {
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return made;
}

} // namespace

frmAbout* frmAbout::showInstance(bool show) {
    if (!loaded) {
        loaded = new frmAbout();
        loaded->Form_Load();
    }
    // The client area's top-left corner at a fixed place, wherever the main window is.
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(loaded->window_, GWL_STYLE)),
                       FALSE, static_cast<DWORD>(GetWindowLongPtrW(loaded->window_, GWL_EXSTYLE)));
    SetWindowPos(loaded->window_, HWND_TOP, pixels(2340) + frame.left, pixels(1935) + frame.top, 0,
                 0, SWP_NOSIZE | (show ? SWP_SHOWWINDOW : 0));
    return loaded;
}

frmAbout* frmAbout::instance() {
    return loaded;
}

void frmAbout::unload() {
    delete loaded;
    loaded = nullptr;
}

frmAbout::frmAbout() {
    registerWindowClass(windowClass, &ownedProcedure<frmAbout>, pinkBrush());
    // Fixed dialog border, the close button only, no taskbar button.
    const DWORD style = WS_CAPTION | WS_SYSMENU;
    const DWORD extended = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW;
    const SIZE size = windowSizeFor(style, extended, 4605, 2415);
    window_ = CreateWindowExW(extended, windowClass, L"", style, 0, 0, size.cx, size.cy, nullptr,
                              nullptr, GetModuleHandleW(nullptr), this);
    dpi_ = dpiOf(window_);
    makeFonts();
    Image1 = makeControl(window_, L"STATIC", "", SS_ICON | SS_NOTIFY, 0xFFFF, 0, 0, 720, 720);
    const HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 48, 48, 0));
    SendMessageW(Image1, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    lblTitle = label(window_, 960, 120, 3405, 480, titleFont_);
    lblVersion = label(window_, 1920, 600, 1125, 225, nullptr);
    Label1 = label(window_, 1200, 960, 2100, 285, authorFont_);
    Label2 = label(window_, 840, 1440, 2880, 240, mailFont_);
    lblDescription = label(window_, 120, 2040, 4410, 180, nullptr);
    adoptMonitorDpi(window_);
}

void frmAbout::makeFonts() {
    for (HFONT& font : {std::ref(titleFont_), std::ref(authorFont_), std::ref(mailFont_)}) {
        if (font) {
            DeleteObject(font);
        }
    }
    titleFont_ = chineseFont(L"隶书", 21.75, true, dpi_);
    authorFont_ = chineseFont(L"华文新魏", 14.25, true, dpi_);
    mailFont_ = chineseFont(L"宋体", 12, false, dpi_);
}

frmAbout::~frmAbout() {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(titleFont_), static_cast<HGDIOBJ>(authorFont_),
                           static_cast<HGDIOBJ>(mailFont_)}) {
        DeleteObject(object);
    }
}

void frmAbout::Form_Load() {
    setText(window_, about_text::caption());
    setText(lblVersion, about_text::versionLine());
    setText(lblTitle, about_text::title());
    setText(lblDescription, about_text::notice);
    fitTitle();
    // Labels sized to their text; the title and version keep their fixed boxes.
    for (HWND label : {Label1, Label2, lblDescription}) {
        sizeToText(label);
    }
}

void frmAbout::fitTitle() {
    // Where 隶书 is not installed its stand-in may be wider: the title shrinks to stay on
    // its one line rather than wrap into the version below.
    RECT box{};
    GetClientRect(lblTitle, &box);
    const std::wstring text = wide(about_text::title());
    for (double points = 21.75; points > 8; points -= 0.75) {
        const HDC dc = GetDC(lblTitle);
        const HGDIOBJ previous = SelectObject(dc, titleFont_);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, previous);
        ReleaseDC(lblTitle, dc);
        if (size.cx <= box.right) {
            break;
        }
        DeleteObject(titleFont_);
        titleFont_ = chineseFont(L"隶书", points - 0.75, true, dpi_);
        SendMessageW(lblTitle, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), TRUE);
    }
}

void frmAbout::Form_Click() {
    PostMessageW(window_, WM_APP, 0, 0); // unloads once this message is handled
}

COLORREF frmAbout::colourOf(HWND control) const {
    if (control == lblTitle) {
        return RGB(0, 128, 0);
    }
    if (control == lblVersion) {
        return RGB(128, 128, 255);
    }
    if (control == Label1) {
        return RGB(192, 0, 0);
    }
    if (control == Label2) {
        return RGB(0, 0, 255);
    }
    if (control == lblDescription) {
        return RGB(192, 64, 0);
    }
    return RGB(0, 0, 0);
}

LRESULT frmAbout::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
        // Every label on the window's pink, in its own colour.
        SetBkColor(reinterpret_cast<HDC>(w), pink);
        SetTextColor(reinterpret_cast<HDC>(w), colourOf(reinterpret_cast<HWND>(l)));
        return reinterpret_cast<LRESULT>(pinkBrush());
    case WM_LBUTTONDOWN:
        Form_Click();
        return 0;
    case WM_CLOSE:
        Form_Click();
        return 0;
    case WM_APP:
        unload();
        return 0;
    case WM_DPICHANGED:
        // The fonts first, so that the labels sized to their text are sized in them.
        dpi_ = HIWORD(w);
        makeFonts();
        SendMessageW(lblTitle, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
        SendMessageW(Label1, WM_SETFONT, reinterpret_cast<WPARAM>(authorFont_), FALSE);
        SendMessageW(Label2, WM_SETFONT, reinterpret_cast<WPARAM>(mailFont_), FALSE);
        followDpiChange(window_, w, l);
        fitTitle();
        return 0;
    default:
        return DefWindowProcW(window_, message, w, l);
    }
}

} // namespace win32
