#include "win32/form1.h"

#include "app/app_facts.h"
#include "engine/merge_run.h"
#include "engine/split_run.h"
#include "main_window/status_line.h"
#include "runtime/error.h"
#include "runtime/file.h"
#include "runtime/path.h"
#include "win32/controls.h"
#include "win32/win32_text.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

namespace win32 {

namespace {

constexpr const wchar_t* windowClass = L"CorvaneForm1";
constexpr int progressSteps = 1000;

// Control identifiers; a control array's elements follow its first.
enum Id : int {
    idSrc = 100,
    idBrowse,
    idDec,
    idSaveto,
    idOther,
    idSrc1,
    idCommand3,
    idStart,
    idCopy,
    idAbout,
    idQuit,
    idStatus,
    idProgress,
    idOption1 = 200,  // 200..203
    idCheck1 = 210,   // 210..212
    idStatic = 0xFFFF // labels and frames
};

std::string openDialog(HWND owner, const std::string& lastName) {
    std::wstring name = wide(lastName);
    name.resize(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    // No filter, title, start folder or default extension; a typed name need not exist.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog)) {
        return {};
    }
    return utf8(name.c_str());
}

} // namespace

Form1::Form1() {
    registerWindowClass(windowClass, &ownedProcedure<Form1>,
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                        LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)));
    const DWORD style = WS_OVERLAPPEDWINDOW;
    const SIZE size = windowSizeFor(style, 0, 6240, 4380);
    // Files dropped anywhere on the window land here.
    window_ =
        CreateWindowExW(WS_EX_ACCEPTFILES, windowClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT,
                        size.cx, size.cy, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    askFileName = [this](const std::string& last) { return openDialog(window_, last); };
    warn = [this](const std::string& text) {
        MessageBoxW(window_, wide(text).c_str(), wide(app_facts::title).c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
    };
    endProcess = [] { PostQuitMessage(0); };
    openHomePage = [](const std::string& address) {
        ShellExecuteW(nullptr, L"open", L"explorer", wide(address).c_str(), nullptr, SW_SHOWNORMAL);
    };
    buildControls();
}

Form1::~Form1() {
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (editBrush_) {
        DeleteObject(editBrush_);
    }
}

void Form1::buildControls() {
    const HWND w = window_;
    const DWORD button = WS_TABSTOP | BS_PUSHBUTTON;
    // Made in the tab order the layout gives, so Tab follows it.
    Frame1 = makeControl(w, L"BUTTON", "文件路径", BS_GROUPBOX, idStatic, 120, 120, 6015, 1095);
    Label1 = makeControl(w, L"STATIC", "源文件是：", SS_LEFT, idStatic, 240, 480, 900, 180);
    Label2 = makeControl(w, L"STATIC", "文件放在：", SS_LEFT, idStatic, 240, 840, 900, 180);
    src = makeControl(w, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, idSrc, 1200, 360,
                      3840, 270, WS_EX_CLIENTEDGE);
    dec = makeControl(w, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, idDec, 1200, 720,
                      3840, 270, WS_EX_CLIENTEDGE);
    browse = makeControl(w, L"BUTTON", "浏览...", button, idBrowse, 5160, 360, 855, 300);
    saveto = makeControl(w, L"BUTTON", "浏览...", button, idSaveto, 5160, 720, 855, 300);
    Frame3 =
        makeControl(w, L"BUTTON", "切割后文件大小", BS_GROUPBOX, idStatic, 120, 1440, 6015, 1335);
    Frame4 = makeControl(w, L"BUTTON", "合并文件", BS_GROUPBOX, idStatic, 120, 2880, 6015, 735);
    Label5 = makeControl(w, L"STATIC", "要合并的文件：", SS_LEFT, idStatic, 240, 3240, 1260, 180);
    src1 = makeControl(w, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, idSrc1, 1560, 3120, 3480, 270,
                       WS_EX_CLIENTEDGE);
    Command3 = makeControl(w, L"BUTTON", "浏览...", button, idCommand3, 5160, 3120, 855, 300);
    start = makeControl(w, L"BUTTON", "切割(&S)", button, idStart, 600, 3720, 800, 360);
    copy = makeControl(w, L"BUTTON", "合并(&C)", button, idCopy, 2160, 3720, 800, 360);
    about = makeControl(w, L"BUTTON", "关于(&A)", button, idAbout, 3600, 3720, 800, 360);
    quit = makeControl(w, L"BUTTON", "退出(Q)", button, idQuit, 5040, 3720, 800, 360);
    StatusBar1 = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                                 0, 0, 0, 0, w, reinterpret_cast<HMENU>(idStatus),
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(StatusBar1, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont()), FALSE);
    // One part across the bar: the status line; the progress bar sits over its right end.
    int whole = -1;
    SendMessageW(StatusBar1, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&whole));
    SendMessageW(StatusBar1, WM_SIZE, 0, 0);
    // The bar takes the height its font needs; the window grows by what the layout's
    // 255 twips would have cut off, so the bar does not cover the buttons.
    RECT bar{};
    GetWindowRect(StatusBar1, &bar);
    const int extra = (bar.bottom - bar.top) - pixels(255);
    if (extra > 0) {
        RECT outer{};
        GetWindowRect(w, &outer);
        SetWindowPos(w, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + extra,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    progress = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, pixels(1500), pixels(200),
                               StatusBar1, reinterpret_cast<HMENU>(idProgress),
                               GetModuleHandleW(nullptr), nullptr);
    SendMessageW(progress, PBM_SETRANGE32, 0, progressSteps);
    other = makeControl(w, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, idOther, 360, 2280, 3240, 270,
                        WS_EX_CLIENTEDGE);
    // The unit boxes belong to the window and are drawn over the size frame; 600 twips
    // for "KB", as the Qt window has, so the caption is not cut.
    Check1[0] =
        makeControl(w, L"BUTTON", "MB", WS_TABSTOP | BS_CHECKBOX, idCheck1, 3840, 2280, 615, 255);
    Check1[1] = makeControl(w, L"BUTTON", "KB", WS_TABSTOP | BS_CHECKBOX, idCheck1 + 1, 4560, 2280,
                            600, 255);
    Check1[2] = makeControl(w, L"BUTTON", "Bytes", WS_TABSTOP | BS_CHECKBOX, idCheck1 + 2, 5160,
                            2280, 855, 255);
    // One group: Tab enters it at the selected option, the arrow keys move within it.
    Option1[0] = makeControl(w, L"BUTTON", "1MB", WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON,
                             idOption1, 1560, 1800, 855, 255);
    Option1[1] =
        makeControl(w, L"BUTTON", "1.38MB", BS_AUTORADIOBUTTON, idOption1 + 1, 360, 1800, 975, 255);
    Option1[2] = makeControl(w, L"BUTTON", "500KB（手机电子书）", BS_AUTORADIOBUTTON, idOption1 + 2,
                             2520, 1800, 2175, 255);
    Option1[3] = makeControl(w, L"BUTTON", "其它容量", BS_AUTORADIOBUTTON | BS_MULTILINE,
                             idOption1 + 3, 4920, 1680, 1095, 495);
    // Ends the option group, so the controls made after it are not in it.
    SetWindowLongPtrW(StatusBar1, GWL_STYLE, GetWindowLongPtrW(StatusBar1, GWL_STYLE) | WS_GROUP);
    SendMessageW(Option1[2], BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(Check1[0], BM_SETCHECK, BST_CHECKED, 0);
    for (HWND box : Check1) {
        EnableWindow(box, FALSE);
    }
    for (HWND label : {Label1, Label2, Label5}) {
        sizeToText(label);
    }
    editBrush_ = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
}

void Form1::show() {
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
}

LRESULT Form1::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(w), HIWORD(w));
        return 0;
    case WM_SIZE:
        SendMessageW(StatusBar1, WM_SIZE, 0, 0);
        showStatusText();
        return 0;
    case WM_CTLCOLOREDIT:
        if (reinterpret_cast<HWND>(l) == other) {
            SetTextColor(reinterpret_cast<HDC>(w), RGB(0, 0, 255));
            SetBkColor(reinterpret_cast<HDC>(w), GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(editBrush_);
        }
        break;
    case WM_CLOSE:
        Form_Unload();
        return 0;
    case WM_DROPFILES:
        takeDrop(reinterpret_cast<HDROP>(w));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, w, l);
}

void Form1::command(int id, int notification) {
    if (id >= idOption1 && id < idOption1 + 4 && notification == BN_CLICKED) {
        Option1_Click(id - idOption1);
    } else if (id >= idCheck1 && id < idCheck1 + 3 && notification == BN_CLICKED) {
        const HWND box = Check1[static_cast<std::size_t>(id - idCheck1)];
        const bool checked = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
        SendMessageW(box, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
        Check1_Click(id - idCheck1);
    } else if (id == idOther && notification == EN_SETFOCUS) {
        // Coming into the custom box, by a click or by Tab, means the custom size.
        other_Click();
    } else if (notification == BN_CLICKED) {
        switch (id) {
        case idBrowse:
            browse_Click();
            break;
        case idSaveto:
            saveto_Click();
            break;
        case idStart:
            start_Click();
            break;
        case idAbout:
            about_Click();
            break;
        case idQuit:
            quit_Click();
            break;
        case idCommand3:
            Command3_Click();
            break;
        case idCopy:
            copy_Click();
            break;
        default:
            break;
        }
    }
}

void Form1::Form_Load() {
    RECT area{};
    GetWindowRect(window_, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    SetWindowPos(window_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    setText(window_, window_rules::windowCaption);
}

void Form1::Option1_Click(int Index) {
    if (SendMessageW(Option1[3], BM_GETCHECK, 0, 0) == BST_CHECKED) {
        for (HWND box : Check1) {
            EnableWindow(box, TRUE);
        }
        if (GetFocus() != other) {
            SetFocus(other);
        }
    }
    if (Index != 3) {
        for (HWND box : Check1) {
            EnableWindow(box, FALSE);
        }
    }
}

void Form1::other_Click() {
    if (SendMessageW(Option1[3], BM_GETCHECK, 0, 0) != BST_CHECKED) {
        for (int i = 0; i < 4; ++i) {
            SendMessageW(Option1[static_cast<std::size_t>(i)], BM_SETCHECK,
                         i == 3 ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
    Option1_Click(3);
    for (HWND box : Check1) {
        EnableWindow(box, TRUE);
    }
}

void Form1::Check1_Click(int Index) {
    // One unit at most: the clicked box keeps what the click gave it.
    for (int a = 0; a < 3; ++a) {
        if (a != Index) {
            SendMessageW(Check1[static_cast<std::size_t>(a)], BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

SizeSelection Form1::sizeSelection() const {
    SizeSelection selection;
    for (std::size_t i = 0; i < 4; ++i) {
        selection.captions[i] = textOf(Option1[i]);
        if (SendMessageW(Option1[i], BM_GETCHECK, 0, 0) == BST_CHECKED) {
            selection.selectedOption = static_cast<int>(i);
        }
    }
    selection.customText = textOf(other);
    for (std::size_t i = 0; i < 3; ++i) {
        selection.unitChecked[i] = SendMessageW(Check1[i], BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    return selection;
}

void Form1::showOpen() {
    const std::string chosen = askFileName(fileName_);
    if (chosen.empty()) {
        return;
    }
    fileName_ = runtime::nativePath(chosen);
    // As Windows' dialog does; the folder chooser starts from here.
    const std::string folder = runtime::splitPath(fileName_, runtime::PathStyle::Windows).folder;
    if (!folder.empty()) {
        SetCurrentDirectoryW(wide(folder).c_str());
    }
}

void Form1::browse_Click() {
    showOpen();
    takeSourceFile(fileName_);
}

void Form1::takeSourceFile(const std::string& path) {
    setText(src, path);
    const std::string folder = runtime::splitPath(path, runtime::PathStyle::Windows).folder;
    if (!folder.empty()) {
        setText(dec, folder);
    }
    if (path.empty()) {
        return;
    }
    const auto report = window_rules::reportSource(path);
    if (report) {
        setStatus(*report);
    } else {
        showMessage(report.problem().message);
    }
}

void Form1::takeDrop(HDROP drop) {
    // The first file among what was dropped; folders are passed over.
    std::string file;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count && file.empty(); ++i) {
        std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        name.resize(DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            file = utf8(name);
        }
    }
    POINT at{};
    DragQueryPoint(drop, &at);
    DragFinish(drop);
    if (file.empty() || run_.running()) {
        return;
    }
    // On the merge group it is the file to merge; anywhere else, the file to split.
    RECT merge{};
    GetWindowRect(Frame4, &merge);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&merge), 2);
    if (PtInRect(&merge, at)) {
        setText(src1, file);
    } else {
        takeSourceFile(file);
    }
}

void Form1::saveto_Click() {
    if (openFolderChooser) {
        openFolderChooser();
    }
}

void Form1::about_Click() {
    if (openAboutBox) {
        openAboutBox();
    }
}

engine::RunOutcome Form1::SplitIT(const std::string& SFile, std::int32_t SplitSIZE,
                                  const std::string& Oname) {
    return engine::SplitIT(*this, runtime::nativePath(SFile), SplitSIZE,
                           runtime::nativePath(Oname));
}

void Form1::start_Click() {
    if (run_.running()) {
        return;
    }
    const std::string source = textOf(src);
    const auto request = window_rules::startRequest(source, sizeSelection());
    if (!request) {
        showMessage(request.problem().message);
        return;
    }
    // Copies: browsing during the run must not change the run.
    const std::string destination = textOf(dec);
    runExclusive([&] { SplitIT(source, *request, destination); });
}

void Form1::runExclusive(const std::function<void()>& work) {
    if (!run_.begin()) {
        return;
    }
    work();
    ShowWindow(progress, SW_HIDE);
    if (run_.end()) {
        endProcess();
    }
}

void Form1::requestEnd() {
    if (run_.requestEnd()) {
        endProcess();
    }
}

void Form1::quit_Click() {
    if (closing_) {
        return;
    }
    closing_ = true;
    if (*app_facts::homePageAddress) {
        openHomePage(app_facts::homePageAddress);
    }
    requestEnd();
}

void Form1::Form_Unload() {
    if (!closing_) {
        closing_ = true;
        if (*app_facts::homePageAddress) {
            openHomePage(app_facts::homePageAddress);
        }
    }
    ShowWindow(window_, SW_HIDE);
    // Ends the process even when a hidden window of the program is still loaded.
    requestEnd();
}

void Form1::Command3_Click() {
    showOpen();
    setText(src1, fileName_);
}

void Form1::copy_Click() {
    const std::string picked = textOf(src1);
    if (picked.empty()) {
        showMessage(engine::merge_text::nothingToMerge);
        return;
    }
    // A typed "D:/x/a.BAT" is the same path as D:\x\a.BAT to the user.
    runExclusive([&] { engine::MergeIT(*this, runtime::nativePath(picked)); });
}

void Form1::setStatus(const std::string& text) {
    statusText_ = text;
    showStatusText();
}

void Form1::showStatusText() {
    if (!StatusBar1) {
        return;
    }
    RECT bar{};
    GetClientRect(StatusBar1, &bar);
    const int room = bar.right - bar.left - pixels(1500) - pixels(300) - 8;
    if (room <= 0) { // not laid out yet: the whole text, cut later
        SendMessageW(StatusBar1, SB_SETTEXTW, 0,
                     reinterpret_cast<LPARAM>(wide(statusText_).c_str()));
        return;
    }
    const HDC dc = GetDC(StatusBar1);
    const HGDIOBJ previous = SelectObject(dc, dialogFont());
    const std::string shown = shownStatus(statusText_, [&](const std::string& candidate) {
        const std::wstring text = wide(candidate);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx <= room;
    });
    SelectObject(dc, previous);
    ReleaseDC(StatusBar1, dc);
    SendMessageW(StatusBar1, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide(shown).c_str()));
}

void Form1::showMessage(const std::string& text) {
    warn(text);
}

void Form1::pumpEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!IsDialogMessageW(GetAncestor(message.hwnd, GA_ROOT), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (run_.endRequested()) {
        throw engine::RunCancelled{};
    }
}

void Form1::setProgress(std::int64_t done, std::int64_t total) {
    RECT bar{};
    GetClientRect(StatusBar1, &bar);
    SetWindowPos(progress, nullptr, bar.right - pixels(1500) - pixels(300), 2, pixels(1500),
                 bar.bottom - 4, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(progress, PBM_SETPOS,
                 total > 0 ? static_cast<WPARAM>(done * progressSteps / total) : 0, 0);
    ShowWindow(progress, SW_SHOWNA);
}

} // namespace win32
