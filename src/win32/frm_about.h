#pragma once

#include "about_box/about_layout.h"

#include <windows.h>

#include <array>

namespace win32 {

// The About window on the Windows API, drawn from about_box's table: the icon, title,
// version and the team's lines on a light pink ground, always at the same place; a click
// on its bare background closes it.
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
    // The labels' controls and named fonts, in the table's order.
    std::array<HWND, about_box::labels.size()> controls_{};
    std::array<HFONT, about_box::labels.size()> fonts_{};
    int dpi_ = 96;
};

} // namespace win32
