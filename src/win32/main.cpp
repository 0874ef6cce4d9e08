// The Windows program: the main window on the Windows API, and the message loop.
#include "win32/form1.h"
#include "win32/form2.h"
#include "win32/frm_about.h"
#include "win32/win32_text.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    win32::Form1 window;
    window.openFolderChooser = [&window](const std::string& startFolder) {
        win32::Form2::showInstance(
            [&window](const std::string& text) { window.model().setDestination(text); }, true,
            startFolder);
    };
    window.openAboutBox = [] { win32::frmAbout::showInstance(); };
    window.Form_Load();
    window.show();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(GetAncestor(message.hwnd, GA_ROOT), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // Windows that are loaded but hidden go with the process.
    win32::Form2::unload();
    win32::frmAbout::unload();
    return static_cast<int>(message.wParam);
}
