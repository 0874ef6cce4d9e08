#include "win32/form2.h"

#include "app/app_facts.h"
#include "folder_chooser/folder_chooser_model.h"
#include "folder_chooser/folder_text.h"
#include "folder_chooser/form2_layout.h"
#include "runtime/file.h"
#include "runtime/windows_path.h"
#include "win32/controls.h"
#include "win32/win32_text.h"

#include <algorithm>
#include <vector>

namespace win32 {

namespace {

namespace table = folder_chooser::layout;

constexpr const wchar_t* windowClass = L"CorvaneForm2";
// Twips for the drive list's drop-down part.
constexpr int droppedListHeight = 1700;
// OK is not IDOK: Enter in Text1 must not press it.
enum Id : int { idDrive = 100, idDir, idText, idOk, idCancel = IDCANCEL, idStatic = 0xFFFF };
Form2* loaded = nullptr;

std::vector<std::string> drives() {
    std::vector<std::string> list;
    wchar_t buffer[512]{};
    const DWORD length = GetLogicalDriveStringsW(511, buffer);
    for (const wchar_t* at = buffer; at < buffer + length && *at; at += wcslen(at) + 1) {
        list.push_back(utf8(at));
    }
    return list;
}

// The folder's own sub-folders, by name, in the order the system gives; none when it
// cannot be read.
std::vector<std::string> subFolders(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        FindFirstFileW(runtime::apiPath(folder_text::prefixOf(folder, '\\') + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..") {
            names.push_back(utf8(name));
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::string currentFolder() {
    std::wstring buffer(GetCurrentDirectoryW(0, nullptr), L'\0');
    buffer.resize(GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data()));
    return utf8(buffer);
}

folder_chooser::FolderSystem folderSystem() {
    return {subFolders, [](const std::string& drive) { return runtime::isDirectory(drive); },
            currentFolder};
}

} // namespace

Form2* Form2::showInstance(DestinationSink sink, bool show, const std::string& startFolder) {
    if (!loaded) {
        loaded = new Form2(std::move(sink));
        loaded->Form_Load(startFolder);
    }
    if (show) {
        ShowWindow(loaded->window_, SW_SHOW);
        SetForegroundWindow(loaded->window_);
    }
    return loaded;
}

Form2* Form2::instance() {
    return loaded;
}

void Form2::unload() {
    delete loaded;
    loaded = nullptr;
}

Form2::Form2(DestinationSink sink)
    : sink_(std::move(sink)), model_(drives(), folderSystem(), '\\') {
    registerWindowClass(windowClass, &ownedProcedure<Form2>,
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    // Sizable with a close button, no minimize or maximize, no icon of its own.
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    const DWORD extended = WS_EX_DLGMODALFRAME;
    const SIZE size = windowSizeFor(style, extended, table::windowWidth, table::windowHeight);
    window_ = CreateWindowExW(extended, windowClass, wide(table::caption).c_str(), style, 0, 0,
                              size.cx, size.cy, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    const auto make = [this](const char* name, const wchar_t* type, DWORD style, int id,
                             int extraHeight = 0, DWORD extended = 0) {
        const table::Control& entry = table::control(name);
        return makeControl(window_, type, entry.caption, style, id, entry.left, entry.top,
                           entry.width, entry.height + extraHeight, extended);
    };
    // A drop-down list's height includes the list it drops.
    Drive1 = make("Drive1", L"COMBOBOX", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, idDrive,
                  droppedListHeight);
    Dir1 = make("Dir1", L"LISTBOX", WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
                idDir, 0, WS_EX_CLIENTEDGE);
    Text1 = make("Text1", L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL | WS_BORDER, idText);
    Label1 = make("Label1", L"STATIC", SS_LEFT, idStatic);
    sizeToText(Label1);
    Command1 = make("Command1", L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, idOk);
    Command2 = make("Command2", L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, idCancel);
    adoptMonitorDpi(window_);
    for (const std::string& drive : model_.drives()) {
        SendMessageW(Drive1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(drive).c_str()));
    }
    RECT area{};
    GetWindowRect(window_, &area);
    SetWindowPos(window_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (area.right - area.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (area.bottom - area.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    warn = [this](const std::string& text) {
        MessageBoxW(window_, wide(text).c_str(), wide(app_facts::title).c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
    };
}

Form2::~Form2() {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void Form2::Form_Load(const std::string& startFolder) {
    model_.load(startFolder);
    showDrive();
    showRows();
    Dir1_Change();
}

void Form2::showDrive() {
    SendMessageW(Drive1, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(wide(model_.drive()).c_str()));
}

void Form2::showRows() {
    SendMessageW(Dir1, LB_RESETCONTENT, 0, 0);
    for (const folder_chooser::FolderRow& row : model_.rows()) {
        SendMessageW(Dir1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(row.label).c_str()));
    }
    SendMessageW(Dir1, LB_SETCURSEL, static_cast<WPARAM>(model_.openRow()), 0);
}

void Form2::openRow(int row) {
    model_.openRowAt(row);
    showRows();
    Dir1_Change();
}

void Form2::Drive1_Change() {
    const int row = static_cast<int>(SendMessageW(Drive1, CB_GETCURSEL, 0, 0));
    wchar_t text[16]{};
    SendMessageW(Drive1, CB_GETLBTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
    if (const auto warning = model_.pickDrive(utf8(text))) {
        warn(*warning);
        showDrive();
        return;
    }
    showRows();
    Dir1_Change();
}

void Form2::Dir1_Change() {
    setText(Text1, model_.text());
}

void Form2::Command1_Click() {
    if (sink_) {
        sink_(textOf(Text1));
    }
    ShowWindow(window_, SW_HIDE);
}

void Form2::Command2_Click() {
    ShowWindow(window_, SW_HIDE);
}

LRESULT Form2::handle(UINT message, WPARAM w, LPARAM l) {
    if (message == WM_COMMAND) {
        const int id = LOWORD(w);
        const int notification = HIWORD(w);
        if (id == idOk && notification == BN_CLICKED) {
            Command1_Click();
        } else if (id == IDOK) {
            pressFocusedButton(window_); // Enter: never OK from the text field
        } else if (id == idCancel) {
            Command2_Click(); // the button, or Esc
        } else if (id == idDrive && notification == CBN_SELCHANGE) {
            Drive1_Change();
        } else if (id == idDir && notification == LBN_DBLCLK) {
            openRow(static_cast<int>(SendMessageW(Dir1, LB_GETCURSEL, 0, 0)));
        }
        return 0;
    }
    if (message == WM_CLOSE) {
        // The close button unloads the window; OK and Cancel only hide it.
        ShowWindow(window_, SW_HIDE);
        PostMessageW(window_, WM_APP, 0, 0);
        return 0;
    }
    if (message == WM_APP) {
        unload();
        return 0;
    }
    if (message == WM_DPICHANGED) {
        followDpiChange(window_, w, l);
        return 0;
    }
    return DefWindowProcW(window_, message, w, l);
}

} // namespace win32
