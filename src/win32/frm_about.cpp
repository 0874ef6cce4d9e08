#include "win32/frm_about.h"

#include "about_box/about_layout.h"
#include "about_box/about_text.h"
#include "win32/controls.h"
#include "win32/win32_text.h"

namespace win32 {

namespace table = about_box;

namespace {

constexpr const wchar_t* windowClass = L"CorvanefrmAbout";
COLORREF rgb(table::Rgb colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

const COLORREF pink = rgb(table::background);

// The window class is registered once, with this brush: it lives as long as the program,
// for every box opened after the first as for the first.
HBRUSH pinkBrush() {
    static const HBRUSH brush = CreateSolidBrush(pink);
    return brush;
}
frmAbout* loaded = nullptr;

const wchar_t* faceName(table::Face face) {
    switch (face) {
    case table::Face::LiSu:
        return L"隶书";
    case table::Face::XinWei:
        return L"华文新魏";
    case table::Face::SimSun:
        return L"宋体";
    case table::Face::Default:
        break;
    }
    return nullptr;
}

// A label's named face in the GB2312 character set, `points` high at `dpi` dots per inch;
// none for the dialog font.
HFONT fontOf(const table::Label& entry, double points, int dpi) {
    if (entry.face == table::Face::Default) {
        return nullptr;
    }
    const int height = -MulDiv(static_cast<int>(points * 100), dpi, 7200);
    return CreateFontW(height, 0, 0, 0, entry.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, faceName(entry.face));
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
    SetWindowPos(loaded->window_, HWND_TOP, pixels(table::screenLeft) + frame.left,
                 pixels(table::screenTop) + frame.top, 0, 0,
                 SWP_NOSIZE | (show ? SWP_SHOWWINDOW : 0));
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
    const SIZE size = windowSizeFor(style, extended, table::clientWidth, table::clientHeight);
    window_ = CreateWindowExW(extended, windowClass, L"", style, 0, 0, size.cx, size.cy, nullptr,
                              nullptr, GetModuleHandleW(nullptr), this);
    dpi_ = dpiOf(window_);
    for (std::size_t k = 0; k < table::labels.size(); ++k) {
        const table::Label& entry = table::labels[k];
        // Labels take their own clicks (SS_NOTIFY), so only bare background closes the box.
        const DWORD kind = entry.text == table::Text::Icon ? SS_ICON : SS_LEFT;
        controls_[k] = makeControl(window_, L"STATIC", "", kind | SS_NOTIFY, 0xFFFF, entry.left,
                                   entry.top, entry.width, entry.height);
        table::memberOf(*this, entry.text) = controls_[k];
    }
    makeFonts();
    const HICON icon =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                      table::iconPixels, table::iconPixels, 0));
    SendMessageW(Image1, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    adoptMonitorDpi(window_);
}

void frmAbout::makeFonts() {
    for (std::size_t k = 0; k < table::labels.size(); ++k) {
        if (fonts_[k]) {
            DeleteObject(fonts_[k]);
        }
        fonts_[k] = fontOf(table::labels[k], table::labels[k].points, dpi_);
        if (fonts_[k]) {
            SendMessageW(controls_[k], WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[k]), FALSE);
        }
    }
}

frmAbout::~frmAbout() {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    for (const HFONT font : fonts_) {
        if (font) {
            DeleteObject(font);
        }
    }
}

void frmAbout::Form_Load() {
    setText(window_, about_text::caption());
    for (std::size_t k = 0; k < table::labels.size(); ++k) {
        if (table::labels[k].text != table::Text::Icon) {
            setText(controls_[k], table::textOf(table::labels[k].text));
        }
    }
    fitTitle();
    for (std::size_t k = 0; k < table::labels.size(); ++k) {
        if (table::labels[k].sizedToText) {
            sizeToText(controls_[k]);
        }
    }
}

void frmAbout::fitTitle() {
    // Where 隶书 is not installed its stand-in may be wider.
    const auto at = static_cast<std::size_t>(&table::label("lblTitle") - table::labels.data());
    RECT box{};
    GetClientRect(lblTitle, &box);
    const std::wstring text = wide(table::textOf(table::Text::Title));
    const double points = table::titlePoints([&](double candidate) {
        const HFONT font = fontOf(table::labels[at], candidate, dpi_);
        const HDC dc = GetDC(lblTitle);
        const HGDIOBJ previous = SelectObject(dc, font);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, previous);
        ReleaseDC(lblTitle, dc);
        DeleteObject(font);
        return size.cx <= box.right;
    });
    DeleteObject(fonts_[at]);
    fonts_[at] = fontOf(table::labels[at], points, dpi_);
    SendMessageW(lblTitle, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[at]), TRUE);
}

void frmAbout::Form_Click() {
    PostMessageW(window_, WM_APP, 0, 0); // unloads once this message is handled
}

COLORREF frmAbout::colourOf(HWND control) const {
    for (std::size_t k = 0; k < table::labels.size(); ++k) {
        if (controls_[k] == control) {
            return rgb(table::labels[k].colour);
        }
    }
    return rgb(table::textColour);
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
        followDpiChange(window_, w, l);
        fitTitle();
        return 0;
    default:
        return DefWindowProcW(window_, message, w, l);
    }
}

} // namespace win32
