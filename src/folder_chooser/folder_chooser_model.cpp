#include "folder_chooser/folder_chooser_model.h"

#include "folder_chooser/folder_text.h"

#include <algorithm>

namespace folder_chooser {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

char folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares the runs of digits at a and b by value: -1, 0 or 1; moves both past them.
int compareNumbers(const std::string& a, std::size_t& i, const std::string& b, std::size_t& j) {
    const auto skipZeros = [](const std::string& s, std::size_t& at) {
        while (at + 1 < s.size() && s[at] == '0' && isDigit(s[at + 1])) {
            ++at;
        }
    };
    skipZeros(a, i);
    skipZeros(b, j);
    std::size_t endA = i;
    std::size_t endB = j;
    while (endA < a.size() && isDigit(a[endA])) {
        ++endA;
    }
    while (endB < b.size() && isDigit(b[endB])) {
        ++endB;
    }
    int order = 0;
    if (endA - i != endB - j) {
        order = endA - i < endB - j ? -1 : 1;
    } else {
        const int digits = a.compare(i, endA - i, b, j, endB - j);
        order = digits < 0 ? -1 : (digits > 0 ? 1 : 0);
    }
    i = endA;
    j = endB;
    return order;
}

} // namespace

bool listedBefore(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            if (const int order = compareNumbers(a, i, b, j)) {
                return order < 0;
            }
            continue;
        }
        const char x = folded(a[i]);
        const char y = folded(b[j]);
        if (x != y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        }
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size()) {
        return j < b.size(); // the shorter first
    }
    return a < b; // equal but for case or leading zeros: still one order
}

FolderChooserModel::FolderChooserModel(std::vector<std::string> drives, FolderSystem system,
                                       char separator)
    : drives_(std::move(drives)), system_(std::move(system)), separator_(separator) {}

bool FolderChooserModel::inside(const std::string& folder, const std::string& drive) const {
    const std::string path = folder_text::prefixOf(folder, separator_);
    const std::string prefix = folder_text::prefixOf(drive, separator_);
    return path.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), path.begin(),
                      [](char x, char y) { return folded(x) == folded(y); });
}

std::string FolderChooserModel::driveOf(const std::string& folder) const {
    std::string best;
    for (const std::string& drive : drives_) {
        if (inside(folder, drive) && drive.size() > best.size()) {
            best = drive;
        }
    }
    return best.empty() && !drives_.empty() ? drives_.front() : best;
}

void FolderChooserModel::load(const std::string& startFolder) {
    std::string folder = startFolder.empty() ? system_.currentFolder() : startFolder;
    // A folder prefix ("E:\data\") opens the folder it names; a root stays itself.
    while (folder.size() > 1 && folder.back() == separator_ &&
           folder != folder_text::prefixOf(driveOf(folder), separator_)) {
        folder.pop_back();
    }
    drive_ = driveOf(folder);
    open(inside(folder, drive_) ? folder : drive_);
}

std::string FolderChooserModel::text() const {
    return folder_text::prefixOf(folder_, separator_);
}

std::optional<std::string> FolderChooserModel::pickDrive(const std::string& drive) {
    if (drive == drive_) {
        return std::nullopt;
    }
    if (!system_.readable(drive)) {
        return folder_text::driveNotReady(drive);
    }
    lastFolder_[drive_] = folder_;
    drive_ = drive;
    const auto last = lastFolder_.find(drive);
    open(last == lastFolder_.end() ? drive : last->second);
    return std::nullopt;
}

void FolderChooserModel::openRowAt(int row) {
    if (row >= 0 && static_cast<std::size_t>(row) < rows_.size()) {
        open(rows_[static_cast<std::size_t>(row)].path);
    }
}

// By value: the folder may be a row's, and the rows go first.
void FolderChooserModel::open(std::string folder) {
    folder_ = folder;
    rows_.clear();
    // The chain: the drive's root, then each folder below it down to the open one.
    const std::string root = folder_text::prefixOf(drive_, separator_);
    std::vector<std::string> chain{drive_};
    std::string at = root;
    const std::string path = folder_text::prefixOf(folder, separator_);
    for (std::size_t from = root.size(); from < path.size();) {
        const std::size_t end = path.find(separator_, from);
        const std::string name = path.substr(from, end - from);
        if (!name.empty()) {
            at += name;
            chain.push_back(at);
            at += separator_;
        }
        from = end + 1;
    }
    const auto indent = [](std::size_t depth) { return std::string(2 * depth, ' '); };
    for (std::size_t depth = 0; depth < chain.size(); ++depth) {
        const std::string& step = chain[depth];
        const std::string name = depth == 0 ? step : step.substr(step.rfind(separator_) + 1);
        rows_.push_back({step, indent(depth) + name, true});
    }
    openRow_ = static_cast<int>(chain.size()) - 1;
    std::vector<std::string> children = system_.subFolders(folder);
    std::sort(children.begin(), children.end(), listedBefore);
    for (const std::string& child : children) {
        rows_.push_back({folder_text::prefixOf(folder, separator_) + child,
                         indent(chain.size()) + child, false});
    }
}

} // namespace folder_chooser
