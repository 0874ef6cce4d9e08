#include "win32/form1.h"

#include "app/app_facts.h"
#include "main_window/form1_layout.h"
#include "main_window/status_line.h"
#include "main_window/window_rules.h"
#include "win32/controls.h"
#include "win32/win32_text.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace win32 {

namespace table = main_window::layout;

namespace {

constexpr const wchar_t* windowClass = L"CorvaneForm1";

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
    idRecovery,
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
    const SIZE size = windowSizeFor(style, 0, table::windowWidth, table::windowHeight);
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
    dpi_ = adoptMonitorDpi(window_);
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

namespace {

// The identifier each control of the table gets.
int idOf(std::string_view name) {
    static const std::pair<const char*, int> ids[] = {{"src", idSrc},
                                                      {"browse", idBrowse},
                                                      {"dec", idDec},
                                                      {"saveto", idSaveto},
                                                      {"other", idOther},
                                                      {"src1", idSrc1},
                                                      {"Command3", idCommand3},
                                                      {"recovery", idRecovery},
                                                      {"start", idStart},
                                                      {"copy", idCopy},
                                                      {"about", idAbout},
                                                      {"quit", idQuit},
                                                      {"Option1_0", idOption1},
                                                      {"Option1_1", idOption1 + 1},
                                                      {"Option1_2", idOption1 + 2},
                                                      {"Option1_3", idOption1 + 3},
                                                      {"Check1_0", idCheck1},
                                                      {"Check1_1", idCheck1 + 1},
                                                      {"Check1_2", idCheck1 + 2}};
    for (const auto& [known, id] : ids) {
        if (name == known) {
            return id;
        }
    }
    return idStatic;
}

HWND makeFromTable(HWND window, const table::Control& entry) {
    const wchar_t* windowClass = L"BUTTON";
    DWORD style = 0;
    switch (entry.kind) {
    case table::Kind::Frame:
        style = BS_GROUPBOX;
        break;
    case table::Kind::Label:
        windowClass = L"STATIC";
        style = SS_LEFT;
        break;
    case table::Kind::Field:
    case table::Kind::ReadOnlyField:
        windowClass = L"EDIT";
        style = WS_TABSTOP | ES_AUTOHSCROLL |
                (entry.kind == table::Kind::ReadOnlyField ? ES_READONLY : 0) |
                WS_BORDER; // a 1-pixel edge leaves the text 16 of the field's 18 pixels
        break;
    case table::Kind::Button:
        style = WS_TABSTOP | BS_PUSHBUTTON;
        break;
    case table::Kind::Option:
        // One group: Tab enters it at the selected option, the arrow keys move within it.
        style = BS_AUTORADIOBUTTON |
                (std::string_view(entry.name) == "Option1_0" ? WS_TABSTOP | WS_GROUP : 0) |
                (std::string_view(entry.name) == "Option1_3" ? BS_MULTILINE : 0);
        break;
    case table::Kind::Check:
        style = WS_TABSTOP | BS_CHECKBOX;
        break;
    }
    const HWND made = makeControl(window, windowClass, entry.caption, style, idOf(entry.name),
                                  entry.left, entry.top, entry.width, entry.height);
    if (entry.kind == table::Kind::Label) {
        sizeToText(made);
    }
    return made;
}

} // namespace

void Form1::buildControls() {
    const HWND w = window_;
    // Made in the table's order, so Tab follows it; the frames are siblings drawn first.
    std::vector<std::pair<std::string_view, HWND>> made;
    for (const table::Control& entry : table::form1) {
        made.emplace_back(entry.name, makeFromTable(w, entry));
    }
    const auto named = [&made](std::string_view name) {
        for (const auto& [known, control] : made) {
            if (known == name) {
                return control;
            }
        }
        return HWND{};
    };
    Frame1 = named("Frame1");
    Frame3 = named("Frame3");
    Frame4 = named("Frame4");
    Label1 = named("Label1");
    Label2 = named("Label2");
    Label5 = named("Label5");
    src = named("src");
    dec = named("dec");
    src1 = named("src1");
    Label6 = named("Label6");
    recovery = named("recovery");
    Label7 = named("Label7");
    other = named("other");
    browse = named("browse");
    saveto = named("saveto");
    Command3 = named("Command3");
    start = named("start");
    copy = named("copy");
    about = named("about");
    quit = named("quit");
    for (std::size_t i = 0; i < Option1.size(); ++i) {
        Option1[i] = named("Option1_" + std::to_string(i));
    }
    for (std::size_t i = 0; i < Check1.size(); ++i) {
        Check1[i] = named("Check1_" + std::to_string(i));
    }
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
    const int extra = (bar.bottom - bar.top) - pixels(table::statusHeight);
    if (extra > 0) {
        RECT outer{};
        GetWindowRect(w, &outer);
        SetWindowPos(w, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + extra,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    progress = CreateWindowExW(
        0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, pixels(table::progressWidth), pixels(200),
        StatusBar1, reinterpret_cast<HMENU>(idProgress), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(progress, PBM_SETRANGE32, 0, main_window::Form1Model::progressSteps);
    // Ends the option group, so the controls made after it are not in it.
    SetWindowLongPtrW(StatusBar1, GWL_STYLE, GetWindowLongPtrW(StatusBar1, GWL_STYLE) | WS_GROUP);
    SendMessageW(Option1[2], BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(Check1[0], BM_SETCHECK, BST_CHECKED, 0);
    for (HWND box : Check1) {
        EnableWindow(box, FALSE);
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
    case runNews:
        model_.deliverRunEvents();
        return 0;
    case WM_CLOSE:
        // During a run the window stays, live, until the run has stopped; then it ends.
        if (model_.Form_Unload()) {
            ShowWindow(window_, SW_HIDE);
        }
        return 0;
    case WM_DROPFILES:
        takeDrop(reinterpret_cast<HDROP>(w));
        return 0;
    case WM_DPICHANGED:
        dpi_ = followDpiChange(window_, w, l);
        SendMessageW(StatusBar1, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont(dpi_)), TRUE);
        SendMessageW(StatusBar1, WM_SIZE, 0, 0);
        placeProgress();
        showStatusText();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, w, l);
}

void Form1::command(int id, int notification) {
    if (refreshing_) {
        return; // the model's own changes, not the user's
    }
    if (id >= idOption1 && id < idOption1 + 4 && notification == BN_CLICKED) {
        model_.Option1_Click(id - idOption1);
    } else if (id >= idCheck1 && id < idCheck1 + 3 && notification == BN_CLICKED) {
        const HWND box = Check1[static_cast<std::size_t>(id - idCheck1)];
        const bool nowChecked = SendMessageW(box, BM_GETCHECK, 0, 0) != BST_CHECKED;
        model_.Check1_Click(id - idCheck1, nowChecked);
    } else if (id == idOther && notification == EN_SETFOCUS) {
        // Coming into the custom box, by a click or by Tab, means the custom size.
        model_.other_Click();
    } else if (notification == EN_CHANGE) {
        const HWND box = GetDlgItem(window_, id);
        switch (id) {
        case idSrc:
            model_.setSrcText(textOf(box));
            break;
        case idDec:
            model_.setDecText(textOf(box));
            break;
        case idOther:
            model_.setOtherText(textOf(box));
            break;
        case idSrc1:
            model_.setSrc1Text(textOf(box));
            break;
        case idRecovery:
            model_.setRecoveryText(textOf(box));
            break;
        default:
            break;
        }
    } else if (id == IDCANCEL) {
        model_.escape(); // Esc
    } else if (id == IDOK) {
        pressFocusedButton(window_); // Enter
    } else if (notification == BN_CLICKED) {
        switch (id) {
        case idBrowse:
            model_.browse_Click();
            break;
        case idSaveto:
            model_.saveto_Click();
            break;
        case idStart:
            model_.start_Click();
            break;
        case idAbout:
            model_.about_Click();
            break;
        case idQuit:
            model_.quit_Click();
            break;
        case idCommand3:
            model_.Command3_Click();
            break;
        case idCopy:
            model_.copy_Click();
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
    refresh(); // the model's design-time state, the recovery field's 0 among it
}

void Form1::refresh() {
    const auto& state = model_.state();
    refreshing_ = true;
    const auto setIfChanged = [](HWND box, const std::string& text) {
        if (textOf(box) != text) {
            setText(box, text);
        }
    };
    setIfChanged(src, state.src);
    setIfChanged(dec, state.dec);
    setIfChanged(src1, state.src1);
    setIfChanged(recovery, state.recovery);
    setIfChanged(other, state.other);
    for (std::size_t i = 0; i < Option1.size(); ++i) {
        SendMessageW(Option1[i], BM_SETCHECK,
                     static_cast<int>(i) == state.option ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    for (std::size_t i = 0; i < Check1.size(); ++i) {
        SendMessageW(Check1[i], BM_SETCHECK, state.unitChecked[i] ? BST_CHECKED : BST_UNCHECKED, 0);
        EnableWindow(Check1[i], state.unitsEnabled ? TRUE : FALSE);
    }
    for (HWND field : {src, dec, src1, browse, saveto, Command3, recovery}) {
        EnableWindow(field, state.fieldsLocked ? FALSE : TRUE);
    }
    setIfChanged(start, state.startCaption);
    setIfChanged(copy, state.copyCaption);
    if (state.progressShown) {
        placeProgress();
        SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(state.progressPermille), 0);
    }
    ShowWindow(progress, state.progressShown ? SW_SHOWNA : SW_HIDE);
    refreshing_ = false;
    showStatusText();
}

std::string Form1::View::askFileName(const std::string& last) {
    return form_.askFileName(last);
}

void Form1::View::focusOther() {
    if (GetFocus() != form_.other) {
        SetFocus(form_.other);
    }
}

void Form1::View::openFolderChooser(const std::string& startFolder) {
    if (form_.openFolderChooser) {
        form_.openFolderChooser(startFolder);
    }
}

void Form1::View::openAboutBox() {
    if (form_.openAboutBox) {
        form_.openAboutBox();
    }
}

void Form1::View::openHomePage() {
    if (*app_facts::homePageAddress) {
        form_.openHomePage(app_facts::homePageAddress);
    }
}

void Form1::takeDrop(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        name.resize(DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
        paths.push_back(utf8(name));
    }
    const std::string file = window_rules::firstDroppedFile(paths);
    POINT at{};
    DragQueryPoint(drop, &at);
    DragFinish(drop);
    // On the merge group it is the file to merge; anywhere else, the file to split.
    RECT merge{};
    GetWindowRect(Frame4, &merge);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&merge), 2);
    model_.takeDroppedFile(file, PtInRect(&merge, at) != FALSE);
}

void Form1::showStatusText() {
    if (!StatusBar1) {
        return;
    }
    const std::string& text = model_.state().status;
    RECT bar{};
    GetClientRect(StatusBar1, &bar);
    // The whole width but the size grip's, less the progress bar's while it is shown.
    const int room = bar.right - bar.left - pixels(300, dpi_) - 8 -
                     (model_.state().progressShown ? pixels(table::progressWidth, dpi_) : 0);
    if (room <= 0) { // not laid out yet: the whole text, cut later
        SendMessageW(StatusBar1, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide(text).c_str()));
        return;
    }
    const HDC dc = GetDC(StatusBar1);
    const HGDIOBJ previous = SelectObject(dc, dialogFont(dpi_));
    const std::string shown = shownStatus(text, [&](const std::string& candidate) {
        const std::wstring text = wide(candidate);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx <= room;
    });
    SelectObject(dc, previous);
    ReleaseDC(StatusBar1, dc);
    SendMessageW(StatusBar1, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide(shown).c_str()));
}

void Form1::View::wake() {
    // From the run's thread; a message to a window already gone is dropped.
    PostMessageW(form_.window_, runNews, 0, 0);
}

void Form1::placeProgress() {
    RECT bar{};
    GetClientRect(StatusBar1, &bar);
    const int width = pixels(table::progressWidth, dpi_);
    SetWindowPos(progress, nullptr, bar.right - width - pixels(300, dpi_), 2, width, bar.bottom - 4,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace win32
