#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace folder_chooser {

// Whether `a` is listed before `b` among a folder's sub-folders, as file managers list
// them: letters without regard to case, runs of digits by their value ("第2章" before
// "第10章"), and only then by their bytes.
bool listedBefore(const std::string& a, const std::string& b);

// What the chooser needs of the system.
struct FolderSystem {
    // The names of a folder's own sub-folders, in any order; none when it cannot be read.
    std::function<std::vector<std::string>(const std::string& folder)> subFolders;
    // Whether a drive (a root the drive list offers) can be read now.
    std::function<bool(const std::string& drive)> readable;
    // The process's current folder.
    std::function<std::string()> currentFolder;
};

// One row of the folder list: the folders from the drive's root down to the open folder
// (open), then the open folder's sub-folders, each indented by its depth.
struct FolderRow {
    std::string path;
    std::string label;
    bool open = false;
};

// The folder chooser ("文件放在"): which drive and folder are open, what the folder list
// shows, the text field, and each drive's last folder. Both front ends draw it and pass
// their events on; every rule is here.
class FolderChooserModel {
public:
    // `drives` are the roots the drive list offers ("C:\", or "/" and mount points), in
    // the list's order; `separator` the platform's.
    FolderChooserModel(std::vector<std::string> drives, FolderSystem system, char separator);

    // Opens `startFolder` (a folder or a folder prefix; empty for the current folder) on
    // the drive that holds it.
    void load(const std::string& startFolder);

    const std::vector<std::string>& drives() const { return drives_; }
    const std::string& drive() const { return drive_; }
    const std::string& folder() const { return folder_; }
    const std::vector<FolderRow>& rows() const { return rows_; }
    // The row of the open folder, which the list highlights.
    int openRow() const { return openRow_; }
    // What the text field shows: the open folder as a folder prefix.
    std::string text() const;

    // Picks a drive from the list: its last folder opens (its root the first time). A drive
    // that cannot be read is not opened; the warning to show is returned and the list must
    // go back to drive().
    std::optional<std::string> pickDrive(const std::string& drive);
    // Opens the folder of a row (a double-click or Enter in the list).
    void openRowAt(int row);

private:
    void open(std::string folder);
    bool inside(const std::string& folder, const std::string& drive) const;
    // The drive of the list that holds `folder`: the longest that is a prefix of it.
    std::string driveOf(const std::string& folder) const;

    std::vector<std::string> drives_;
    FolderSystem system_;
    char separator_;
    std::string drive_;
    std::string folder_;
    std::vector<FolderRow> rows_;
    int openRow_ = 0;
    std::map<std::string, std::string> lastFolder_;
};

} // namespace folder_chooser
