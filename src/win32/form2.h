#pragma once

#include <windows.h>

#include "folder_chooser/folder_chooser_model.h"

#include <functional>
#include <string>

namespace win32 {

// The output-folder chooser on the Windows API: the classic drive list and folder list
// and an editable folder prefix that OK hands to the main window unchanged.
class Form2 {
public:
    using DestinationSink = std::function<void(const std::string&)>;

    // The one instance: created and loaded on first use (and after the close button
    // unloaded it), then shown without blocking and without an owner. A window that loads
    // opens `startFolder` (the folder of the file last chosen in the file-open dialog), or
    // the process's current folder when that is empty.
    static Form2* showInstance(DestinationSink sink, bool show = true,
                               const std::string& startFolder = {});
    static Form2* instance();
    // Unloads the instance, as the close button does.
    static void unload();

    HWND window() const { return window_; }
    std::function<void(const std::string&)> warn; // a drive that is not ready

    void Form_Load(const std::string& startFolder);
    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click();
    void Command2_Click();
    // Opens the folder at the given row of Dir1, as a double-click does.
    void openRow(int row);
    std::string path() const { return model_.folder(); }

    HWND Drive1{}, Dir1{}, Text1{}, Label1{}, Command1{}, Command2{};

private:
    explicit Form2(DestinationSink sink);
    ~Form2();
    template <typename Owner> friend LRESULT CALLBACK ownedProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    void showDrive();
    void showRows();

    HWND window_{};
    DestinationSink sink_;
    folder_chooser::FolderChooserModel model_;
};

} // namespace win32
