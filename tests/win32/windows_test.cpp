// The Windows windows, created hidden and driven by the messages the system sends, under
// wine without a display: each control wired to its rule.
#include "about_box/about_layout.h"
#include "app/twips.h"
#include "engine/split_run.h"
#include "folder_chooser/form2_layout.h"
#include "main_window/form1_layout.h"
#include "temp_folder.h"
#include "win32/controls.h"
#include "win32/form1.h"
#include "win32/form2.h"
#include "win32/frm_about.h"
#include "win32/win32_text.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <deque>
#include <filesystem>

namespace fs = std::filesystem;
using testing_support::TempFolder;
using win32::textOf;

namespace {

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void click(HWND control) {
    SendMessageW(control, BM_CLICK, 0, 0);
}

bool checked(HWND control) {
    return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// A hidden main window with every outside effect recorded.
struct HiddenForm {
    win32::Form1 form;
    std::vector<std::string> messages;
    std::deque<std::string> answers;
    int ends = 0;
    std::string destination;

    HiddenForm() {
        static const bool controls = [] {
            INITCOMMONCONTROLSEX wanted{sizeof wanted, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
            return InitCommonControlsEx(&wanted) != FALSE;
        }();
        (void)controls;
        form.warn = [this](const std::string& text) { messages.push_back(text); };
        form.endProcess = [this] { ++ends; };
        form.askFileName = [this](const std::string&) {
            std::string answer = answers.empty() ? std::string() : answers.front();
            if (!answers.empty()) {
                answers.pop_front();
            }
            return answer;
        };
        form.Form_Load();
    }
    // The source browse button, with the file-open dialog answering `path`.
    void browseTo(const std::string& path) {
        answers.push_back(path);
        click(form.browse);
    }
    // The message loop until a run started has ended; false after 10 s.
    bool runEnds() {
        const DWORD start = GetTickCount();
        while (form.isRunning() && GetTickCount() - start < 10000) {
            pump();
            Sleep(1);
        }
        return !form.isRunning();
    }
    std::string status() const {
        wchar_t text[1024]{};
        SendMessageW(form.StatusBar1, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
        return win32::utf8(text);
    }
};

TEST(Form1Win32, OpensWithTheDesignTimeState) {
    HiddenForm hidden;
    auto& f = hidden.form;
    EXPECT_EQ(textOf(f.window()), "Corvane文件切割机v2.0");
    const std::pair<HWND, const char*> captions[] = {
        {f.Frame1, "文件路径"},       {f.Label1, "源文件是："},
        {f.browse, "浏览..."},        {f.Label2, "文件放在："},
        {f.Frame3, "切割后文件大小"}, {f.Option1[0], "1MB"},
        {f.Option1[1], "1.38MB"},     {f.Option1[2], "500KB（手机电子书）"},
        {f.Option1[3], "其它容量"},   {f.Check1[0], "MB"},
        {f.Check1[1], "KB"},          {f.Check1[2], "Bytes"},
        {f.Frame4, "合并文件"},       {f.Label5, "要合并的文件："},
        {f.start, "切割(&S)"},        {f.copy, "合并(&C)"},
        {f.about, "关于(&A)"},        {f.quit, "退出(Q)"}};
    for (const auto& [control, caption] : captions) {
        EXPECT_EQ(textOf(control), caption);
    }
    EXPECT_TRUE(checked(f.Option1[2]));
    EXPECT_TRUE(checked(f.Check1[0]));
    for (HWND box : f.Check1) {
        EXPECT_FALSE(IsWindowEnabled(box));
    }
    EXPECT_TRUE(GetWindowLongPtrW(f.src, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongPtrW(f.dec, GWL_STYLE) & ES_READONLY);
    EXPECT_FALSE(GetWindowLongPtrW(f.src1, GWL_STYLE) & ES_READONLY);
    RECT start{};
    GetWindowRect(f.start, &start);
    MapWindowPoints(nullptr, f.window(), reinterpret_cast<POINT*>(&start), 2);
    EXPECT_EQ(start.right - start.left, win32::pixels(800));
    // One row lower than in the original layout: the recovery row is above the buttons.
    EXPECT_EQ(start.top, win32::pixels(3720 + main_window::layout::recoveryRow));
    EXPECT_EQ(textOf(f.recovery), "0");
    EXPECT_EQ(evaluatePieceSize(f.sizeSelection()).value(), 512000);
}

// What clicks and typing leave for Start; the arithmetic itself is the rules' own table.
TEST(Form1Win32, TheSizeControlsHandTheirStateToTheRule) {
    struct Case {
        int option;
        const char* typed;
        int unit; // -1: none clicked
        std::int64_t size;
        bool unitsEnabled;
    };
    const Case cases[] = {{3, "3", -1, 3145728, true}, {3, "10", 1, 10240, true},
                          {3, "700", 2, 700, true},    {0, "", -1, 1048576, false},
                          {1, "", -1, 1447035, false}, {3, "1.5", -1, 1572864, true}};
    for (const auto& c : cases) {
        HiddenForm hidden;
        auto& f = hidden.form;
        click(f.Option1[static_cast<std::size_t>(c.option)]);
        win32::setText(f.other, c.typed);
        if (c.unit >= 0) {
            click(f.Check1[static_cast<std::size_t>(c.unit)]);
            // One unit at most.
            EXPECT_FALSE(checked(f.Check1[0]) && c.unit != 0);
        }
        EXPECT_EQ(evaluatePieceSize(f.sizeSelection()).value(), c.size) << c.option << c.typed;
        EXPECT_EQ(IsWindowEnabled(f.Check1[1]) != FALSE, c.unitsEnabled) << c.option;
    }
}

TEST(Form1Win32, EnteringTheCustomBoxSelectsOtherSize) {
    HiddenForm hidden;
    auto& f = hidden.form;
    SendMessageW(f.window(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(f.other), EN_SETFOCUS),
                 reinterpret_cast<LPARAM>(f.other));
    EXPECT_TRUE(checked(f.Option1[3]));
    EXPECT_FALSE(checked(f.Option1[2]));
    EXPECT_TRUE(IsWindowEnabled(f.Check1[2]));
}

TEST(Form1Win32, BrowseSplitMergeAndQuit) {
    TempFolder folder;
    const std::string source = folder.file("说明 书.txt");
    testing_support::writeFile(source, std::string(1536, 'x'));
    HiddenForm hidden;
    auto& f = hidden.form;
    hidden.browseTo(source);
    EXPECT_EQ(textOf(f.src), source);
    EXPECT_EQ(textOf(f.dec), folder.prefix());
    EXPECT_EQ(hidden.status(), "文件大小： 1.5KBytes");

    click(f.Option1[3]);
    win32::setText(f.other, "500");
    click(f.Check1[2]);
    click(f.start);
    ASSERT_TRUE(hidden.runEnds());
    EXPECT_EQ(hidden.status(), engine::split_text::completed(4));
    EXPECT_TRUE(hidden.messages.empty());
    EXPECT_FALSE(IsWindowVisible(f.progress));

    fs::remove(fs::u8path(source));
    hidden.answers.push_back(folder.file("说明 书001.txt"));
    click(f.Command3);
    click(f.copy);
    ASSERT_TRUE(hidden.runEnds());
    EXPECT_EQ(hidden.status().rfind("合并成功！", 0), 0u) << hidden.status();
    EXPECT_EQ(testing_support::readFile(source), std::string(1536, 'x'));

    click(f.quit);
    EXPECT_EQ(hidden.ends, 1);
}

// Esc (the dialog manager's IDCANCEL) and the close box during a run reach the model's
// stop; the window stays until the run has stopped, and the program then ends once.
TEST(Form1Win32, EscAndCloseStopARun) {
    TempFolder folder;
    const std::string source = folder.file("long.bin");
    // Long enough a split (16,778 pieces) that a stop at once always lands during it.
    testing_support::writeFile(source, std::string(16 * 1024 * 1024, 'l'));
    for (const UINT stop : {static_cast<UINT>(WM_COMMAND), static_cast<UINT>(WM_CLOSE)}) {
        HiddenForm hidden;
        auto& f = hidden.form;
        hidden.browseTo(source);
        click(f.Option1[3]);
        win32::setText(f.other, "1000");
        click(f.Check1[2]);
        click(f.start);
        SendMessageW(f.window(), stop, stop == WM_COMMAND ? IDCANCEL : 0, 0);
        EXPECT_TRUE(f.isRunning()); // the window stays until the run has stopped
        ASSERT_TRUE(hidden.runEnds());
        EXPECT_EQ(hidden.status().rfind("已停止：", 0), 0u) << hidden.status();
        EXPECT_FALSE(fs::exists(fs::u8path(folder.file("long001.bin"))));
        EXPECT_EQ(textOf(f.start), "切割(&S)");
        EXPECT_EQ(hidden.ends, stop == WM_CLOSE ? 1 : 0);
    }
}

// A drop as Explorer hands it over: DROPFILES, then the wide names, then an empty one.
HGLOBAL dropOf(const std::vector<std::string>& paths, POINT at) {
    std::wstring names;
    for (const auto& path : paths) {
        names += win32::wide(path) + L'\0';
    }
    names += L'\0';
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->pt = at;
    files->fWide = TRUE;
    std::memcpy(files + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

TEST(Form1Win32, ADroppedFileGoesWhereItIsDropped) {
    TempFolder folder;
    fs::create_directory(folder.path() / "a folder");
    const std::string file = folder.file("drop.bin");
    testing_support::writeFile(file, std::string(2048, 'd'));
    HiddenForm hidden;
    auto& f = hidden.form;
    const POINT onMerge{win32::pixels(1000), win32::pixels(3000)};
    const POINT onPaths{win32::pixels(1000), win32::pixels(500)};
    SendMessageW(f.window(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(dropOf({folder.file("a folder"), file}, onMerge)), 0);
    EXPECT_EQ(textOf(f.src1), file);
    EXPECT_EQ(textOf(f.src), "");
    SendMessageW(f.window(), WM_DROPFILES, reinterpret_cast<WPARAM>(dropOf({file}, onPaths)), 0);
    EXPECT_EQ(textOf(f.src), file);
    EXPECT_EQ(textOf(f.dec), folder.prefix());
    EXPECT_EQ(hidden.status(), "文件大小： 2KBytes");
    SendMessageW(f.window(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(dropOf({folder.file("a folder")}, onMerge)), 0);
    EXPECT_EQ(textOf(f.src1), file); // a folder alone changes nothing
}

// A folder past the classic 260-character limit, through the drop, the folder chooser
// (which starts where the last chosen file is) and the merge box. Wine does not enforce
// the limit; that every call gets the long form is checked with the path rule itself.
TEST(LongPaths, TheDropTheChooserAndTheMergeBoxTakeAFolderPastTheClassicLimit) {
    TempFolder folder;
    fs::path deep = folder.path();
    for (const char letter : {'a', 'b', 'c', 'd'}) {
        deep /= std::string(80, letter);
    }
    fs::create_directories(deep / "sub");
    const std::string prefix = testing_support::utf8(deep) + "\\";
    ASSERT_GT(prefix.size(), 300u);
    const std::string source = prefix + "长 路径.bin";
    const std::string content = testing_support::randomBytes(5000, 3);
    testing_support::writeFile(source, content);

    HiddenForm hidden;
    auto& f = hidden.form;
    const POINT onPaths{win32::pixels(1000), win32::pixels(500)};
    SendMessageW(f.window(), WM_DROPFILES, reinterpret_cast<WPARAM>(dropOf({source}, onPaths)), 0);
    EXPECT_EQ(textOf(f.src), source);
    EXPECT_EQ(textOf(f.dec), prefix);

    win32::Form2* chooser = win32::Form2::showInstance({}, false, prefix);
    EXPECT_EQ(textOf(chooser->Text1), prefix);
    const int rows = static_cast<int>(SendMessageW(chooser->Dir1, LB_GETCOUNT, 0, 0));
    chooser->openRow(rows - 1);
    EXPECT_EQ(textOf(chooser->Text1), prefix + "sub\\");
    win32::Form2::unload();

    click(f.Option1[3]);
    win32::setText(f.other, "2000");
    click(f.Check1[2]);
    click(f.start);
    ASSERT_TRUE(hidden.runEnds());
    EXPECT_EQ(hidden.status(), engine::split_text::completed(3));
    fs::remove(deep / fs::u8path("长 路径.bin"));
    win32::setText(f.src1, prefix + "长 路径.BAT");
    click(f.copy);
    ASSERT_TRUE(hidden.runEnds());
    EXPECT_TRUE(hidden.messages.empty()) << hidden.messages.front();
    EXPECT_EQ(testing_support::readFile(source), content);
}

// Windows sends WM_DPICHANGED when a window moves to a monitor of another scale (wine
// never does): the window takes the place suggested and its controls their twips places
// and the dialog font at the new scale.
TEST(Form1Win32, LaysItselfOutAgainAtAMonitorsNewScale) {
    HiddenForm hidden;
    auto& f = hidden.form;
    RECT suggested{10, 20, 10 + 900, 20 + 700};
    SendMessageW(f.window(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT outer{};
    GetWindowRect(f.window(), &outer);
    EXPECT_EQ(outer.right - outer.left, 900);
    for (const auto& [control, name] : {std::pair{f.start, "start"}, std::pair{f.Frame3, "Frame3"},
                                        std::pair{f.Check1[2], "Check1_2"}}) {
        const auto& entry = main_window::layout::control(name);
        const layout::Rect expected =
            layout::pixelsAt({entry.left, entry.top, entry.width, entry.height}, 192);
        RECT at{};
        GetWindowRect(control, &at);
        MapWindowPoints(nullptr, f.window(), reinterpret_cast<POINT*>(&at), 2);
        EXPECT_EQ(at.left, expected.left) << name;
        EXPECT_EQ(at.top, expected.top) << name;
        EXPECT_EQ(at.right - at.left, expected.width) << name;
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                  win32::dialogFont(192))
            << name;
    }
}

// Maximized (and back), the status line keeps its text and the bar the whole width.
TEST(Form1Win32, TheStatusLineKeepsItsTextWhenTheWindowIsMaximized) {
    TempFolder folder;
    const std::string source = folder.file("max.bin");
    testing_support::writeFile(source, std::string(1536, 'm'));
    HiddenForm hidden;
    auto& f = hidden.form;
    hidden.browseTo(source);
    for (const int show : {SW_MAXIMIZE, SW_RESTORE}) {
        ShowWindow(f.window(), show);
        pump();
        EXPECT_EQ(hidden.status(), "文件大小： 1.5KBytes") << show;
        RECT bar{};
        RECT window{};
        GetClientRect(f.StatusBar1, &bar);
        GetClientRect(f.window(), &window);
        EXPECT_EQ(bar.right, window.right) << show;
    }
    EXPECT_TRUE(IsZoomed(f.window()) == FALSE);
    ShowWindow(f.window(), SW_HIDE);
}

TEST(Form1Win32, SaysWhatIsMissing) {
    HiddenForm hidden;
    click(hidden.form.start);
    click(hidden.form.copy);
    const std::vector<std::string> expected = {"请选择要分割的文件！", "请输入要合并的文件！"};
    EXPECT_EQ(hidden.messages, expected);
}

// A one-line field's font fits its inside: the tails of g, p and y are not cut off.
TEST(FieldsWin32, TheirTextFitsTheirInside) {
    HiddenForm hidden;
    auto& f = hidden.form;
    win32::Form2* chooser = win32::Form2::showInstance({}, false, "C:\\");
    const std::pair<const char*, HWND> fields[] = {{"src", f.src},
                                                   {"dec", f.dec},
                                                   {"other", f.other},
                                                   {"src1", f.src1},
                                                   {"Text1", chooser->Text1}};
    for (const auto& [name, field] : fields) {
        RECT inside{};
        GetClientRect(field, &inside);
        const auto font = reinterpret_cast<HFONT>(SendMessageW(field, WM_GETFONT, 0, 0));
        EXPECT_LE(win32::cellHeight(font), inside.bottom - inside.top) << name;
    }
    win32::Form2::unload();
}

TEST(Form2Win32, PlacesEveryControlFromTheTable) {
    win32::Form2* chooser = win32::Form2::showInstance({}, false, "C:\\");
    const std::pair<const char*, HWND> controls[] = {
        {"Drive1", chooser->Drive1},     {"Dir1", chooser->Dir1},
        {"Text1", chooser->Text1},       {"Label1", chooser->Label1},
        {"Command1", chooser->Command1}, {"Command2", chooser->Command2}};
    for (const auto& [name, control] : controls) {
        const auto& entry = folder_chooser::layout::control(name);
        RECT rect{};
        GetWindowRect(control, &rect);
        POINT place{rect.left, rect.top};
        ScreenToClient(chooser->window(), &place);
        EXPECT_EQ(place.x, win32::pixels(entry.left)) << name;
        EXPECT_EQ(place.y, win32::pixels(entry.top)) << name;
        if (entry.kind == folder_chooser::layout::Kind::Button ||
            entry.kind == folder_chooser::layout::Kind::FolderList) {
            EXPECT_EQ(rect.right - rect.left, win32::pixels(entry.width)) << name;
            EXPECT_EQ(rect.bottom - rect.top, win32::pixels(entry.height)) << name;
        }
        if (*entry.caption) {
            EXPECT_EQ(textOf(control), entry.caption) << name;
        }
    }
    win32::Form2::unload();
}

TEST(Form2Win32, OkHandsTheFolderPrefixOnAndHides) {
    TempFolder folder;
    fs::create_directory(folder.path() / "sub");
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    std::string handed;
    win32::Form2* chooser =
        win32::Form2::showInstance([&](const std::string& t) { handed = t; }, false);
    EXPECT_EQ(textOf(chooser->Text1), folder.prefix());
    EXPECT_EQ(textOf(chooser->window()), "文件放在");
    // The open folder's sub-folder is the row after the chain down to it.
    const int rows = static_cast<int>(SendMessageW(chooser->Dir1, LB_GETCOUNT, 0, 0));
    chooser->openRow(rows - 1);
    EXPECT_EQ(textOf(chooser->Text1), folder.file("sub") + "\\");
    click(chooser->Command1);
    EXPECT_EQ(handed, folder.file("sub") + "\\");
    EXPECT_FALSE(IsWindowVisible(chooser->window()));
    EXPECT_EQ(win32::Form2::showInstance({}, false), chooser); // kept while hidden
    win32::Form2::unload();
    fs::current_path(previous);
}

// Enter as the dialog manager passes it on to a window: IDOK, which presses the focused
// push button and nothing else (never OK from the chooser's text field).
void pressEnter(HWND window, HWND focus) {
    SetFocus(focus);
    MSG enter{focus, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    IsDialogMessageW(window, &enter);
    pump();
}

TEST(Form2Win32, EnterPressesTheFocusedButtonOnly) {
    TempFolder folder;
    std::string handed;
    win32::Form2* chooser = win32::Form2::showInstance([&](const std::string& t) { handed = t; },
                                                       false, folder.prefix());
    pressEnter(chooser->window(), chooser->Text1);
    EXPECT_EQ(handed, "") << "Enter in the text field pressed OK";
    pressEnter(chooser->window(), chooser->Command1);
    EXPECT_EQ(handed, folder.prefix());
    win32::Form2::unload();
}

TEST(Form1Win32, EnterPressesTheFocusedButton) {
    HiddenForm hidden;
    pressEnter(hidden.form.window(), hidden.form.quit);
    EXPECT_EQ(hidden.ends, 1);
}

TEST(FrmAboutWin32, ShowsTheFactsAndClosesOnItsBackgroundOnly) {
    win32::frmAbout* box = win32::frmAbout::showInstance(false);
    EXPECT_EQ(textOf(box->window()), "关于 Corvane文件切割机2.0");
    EXPECT_EQ(textOf(box->lblVersion), "版本 2.0.0");
    EXPECT_EQ(textOf(box->lblTitle), "Corvane文件切割机2.0");
    SendMessageW(box->lblTitle, WM_LBUTTONDOWN, 0, 0);
    pump();
    EXPECT_EQ(win32::frmAbout::instance(), box);
    SendMessageW(box->window(), WM_LBUTTONDOWN, 0, MAKELPARAM(2, 2));
    pump();
    EXPECT_EQ(win32::frmAbout::instance(), nullptr);
}

// Each label at its place, in its colour (as the box answers WM_CTLCOLORSTATIC), with its text.
TEST(FrmAboutWin32, DrawsEveryLabelFromTheTable) {
    win32::frmAbout* box = win32::frmAbout::showInstance(false);
    const HDC dc = GetDC(box->window());
    for (const about_box::Label& entry : about_box::labels) {
        const HWND control = FindWindowExW(box->window(), nullptr, L"STATIC", nullptr);
        HWND at = control;
        POINT place{};
        // The label whose top-left corner is the table's.
        for (; at; at = FindWindowExW(box->window(), at, L"STATIC", nullptr)) {
            RECT rect{};
            GetWindowRect(at, &rect);
            place = {rect.left, rect.top};
            ScreenToClient(box->window(), &place);
            if (place.x == win32::pixels(entry.left) && place.y == win32::pixels(entry.top)) {
                break;
            }
        }
        ASSERT_NE(at, nullptr) << entry.name << " is not at its place";
        SendMessageW(box->window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(at));
        EXPECT_EQ(GetTextColor(dc), RGB(entry.colour.red, entry.colour.green, entry.colour.blue))
            << entry.name;
        EXPECT_EQ(textOf(at), about_box::textOf(entry.text)) << entry.name;
    }
    ReleaseDC(box->window(), dc);
    win32::frmAbout::unload();
}

// The class's brush outlives the box: the second box is as pink as the first.
TEST(FrmAboutWin32, IsPinkEveryTimeItOpens) {
    for (int opening = 1; opening <= 2; ++opening) {
        win32::frmAbout* box = win32::frmAbout::showInstance(false);
        const auto brush =
            reinterpret_cast<HBRUSH>(GetClassLongPtrW(box->window(), GCLP_HBRBACKGROUND));
        LOGBRUSH described{};
        ASSERT_EQ(GetObjectW(brush, sizeof described, &described),
                  static_cast<int>(sizeof described))
            << "opening " << opening;
        EXPECT_EQ(described.lbColor, RGB(255, 192, 192)) << "opening " << opening;
        win32::frmAbout::unload();
    }
}

} // namespace
