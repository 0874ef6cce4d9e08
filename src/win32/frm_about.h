#pragma once

#include <windows.h>

namespace win32 {

// The About window on the Windows API: the icon, title and version on a light pink
// ground, always at the same place; a click on its bare background closes it.
class frmAbout {
public:
    static frmAbout* showInstance(bool show = true);
    static frmAbout* instance();
    static void unload();

    HWND window() const { return window_; }
    void Form_Load();
    void Form_Click();

    HWND Image1{}, lblTitle{}, lblVersion{}, Label1{}, Label2{}, lblDescription{};

private:
    frmAbout();
    ~frmAbout();
    template <typename Owner> friend LRESULT CALLBACK ownedProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    COLORREF colourOf(HWND label) const;
    void fitTitle();
    void makeFonts();

    HWND window_{};
    HFONT titleFont_{}, authorFont_{}, mailFont_{};
    int dpi_ = 96;
};

} // namespace win32
