#pragma once

#include "engine/host.h"
#include "engine/result.h"
#include "main_window/piece_size.h"
#include "main_window/window_rules.h"

#include <windows.h>

#include <shellapi.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace win32 {

// The main window on the Windows API: the same controls, names, handlers and rules as
// the Qt window; it hosts the engine's runs.
class Form1 : public engine::Host {
public:
    // Created hidden; Form_Load centres it and sets its caption, show() shows it.
    Form1();
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    HWND window() const { return window_; }
    void show();

    // Seams: what the file-open dialog answers (empty for a cancel), how a message is
    // shown, what ends the process, what opens the home page, what opens the other windows.
    std::function<std::string(const std::string& lastName)> askFileName;
    std::function<void(const std::string& text)> warn;
    std::function<void()> endProcess;
    std::function<void(const std::string& address)> openHomePage;
    std::function<void()> openFolderChooser;
    std::function<void()> openAboutBox;

    // Handlers.
    void Form_Load();
    void Option1_Click(int Index);
    void other_Click();
    void Check1_Click(int Index);
    void browse_Click();
    void saveto_Click();
    void start_Click();
    void about_Click();
    void quit_Click();
    void Command3_Click();
    void copy_Click();
    void Form_Unload();

    engine::RunOutcome SplitIT(const std::string& SFile, std::int32_t SplitSIZE,
                               const std::string& Oname);

    // Host operations.
    void setStatus(const std::string& text) override;
    void showMessage(const std::string& text) override;
    void pumpEvents() override;
    void setProgress(std::int64_t done, std::int64_t total) override;

    SizeSelection sizeSelection() const;
    std::string statusText() const { return statusText_; }
    bool isRunning() const { return run_.running(); }
    // The dialog's last chosen name, as the file-open dialog keeps it.
    const std::string& dlgFileName() const { return fileName_; }

    // Controls, named as the commands know them.
    HWND Frame1{}, Label1{}, src{}, browse{}, Label2{}, dec{}, saveto{};
    HWND Frame3{}, other{};
    std::array<HWND, 4> Option1{};
    std::array<HWND, 3> Check1{};
    HWND Frame4{}, Label5{}, src1{}, Command3{};
    HWND start{}, copy{}, about{}, quit{};
    HWND StatusBar1{}, progress{};

private:
    template <typename Owner> friend LRESULT CALLBACK ownedProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    void command(int id, int notification);
    void buildControls();
    void takeSourceFile(const std::string& path);
    void takeDrop(HDROP drop);
    void showOpen();
    void runExclusive(const std::function<void()>& work);
    void requestEnd();
    void showStatusText();

    HWND window_{};
    HBRUSH editBrush_{};
    std::string fileName_;
    std::string statusText_;
    window_rules::RunLifecycle run_;
    bool closing_ = false;
};

} // namespace win32
