#pragma once

#include "main_window/form1_model.h"
#include "main_window/piece_size.h"

#include <windows.h>

#include <shellapi.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace win32 {

// The main window on the Windows API: the same controls and names as the Qt window, a
// view of main_window::Form1Model, which decides everything and hosts the engine's runs.
class Form1 {
public:
    // Created hidden; Form_Load centres it and sets its caption, show() shows it.
    Form1();
    ~Form1();
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
    std::function<void(const std::string& startFolder)> openFolderChooser;
    std::function<void()> openAboutBox;

    void Form_Load();
    main_window::Form1Model& model() { return model_; }

    SizeSelection sizeSelection() const { return model_.sizeSelection(); }
    std::string statusText() const { return model_.state().status; }
    bool isRunning() const { return model_.state().run != main_window::Form1Model::Run::None; }

    // Controls, named as the commands know them.
    HWND Frame1{}, Label1{}, src{}, browse{}, Label2{}, dec{}, saveto{};
    HWND Frame3{}, other{};
    std::array<HWND, 4> Option1{};
    std::array<HWND, 3> Check1{};
    HWND Frame4{}, Label5{}, src1{}, Command3{};
    HWND Label6{}, recovery{}, Label7{};
    HWND start{}, copy{}, about{}, quit{};
    HWND StatusBar1{}, progress{};

private:
    // What the model asks of this window.
    class View : public main_window::Form1View {
    public:
        explicit View(Form1& form) : form_(form) {}
        void refresh() override { form_.refresh(); }
        void showMessage(const std::string& text) override { form_.warn(text); }
        void wake() override;
        std::string askFileName(const std::string& last) override;
        void focusOther() override;
        void openFolderChooser(const std::string& startFolder) override;
        void openAboutBox() override;
        void openHomePage() override;
        void endProcess() override { form_.endProcess(); }
        std::chrono::milliseconds doubleClickTime() const override {
            return std::chrono::milliseconds(GetDoubleClickTime());
        }

    private:
        Form1& form_;
    };

    // What the view's wake posts: the run has news for the model.
    static constexpr UINT runNews = WM_APP + 1;

    template <typename Owner> friend LRESULT CALLBACK ownedProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    void command(int id, int notification);
    void buildControls();
    void takeDrop(HDROP drop);
    void refresh();
    void showStatusText();
    void placeProgress();

    HWND window_{};
    HBRUSH editBrush_{};
    View view_{*this};
    main_window::Form1Model model_{view_};
    bool refreshing_ = false;
    int dpi_ = 96; // the scale of the monitor the window is on
};

} // namespace win32
