#pragma once

#include <array>
#include <string_view>

// The folder chooser's controls as both front ends build them: names, kinds, places in
// twips from the client area and captions, in the order they are made (the tab order).
namespace folder_chooser::layout {

enum class Kind { DriveList, FolderList, Field, Label, Button };

struct Control {
    const char* name;
    Kind kind;
    int left, top, width, height;
    const char* caption;
};

inline constexpr const char* caption = "文件放在";
inline constexpr int windowWidth = 4710;
inline constexpr int windowHeight = 2955;

inline constexpr std::array<Control, 6> form2{{
    {"Drive1", Kind::DriveList, 120, 120, 4455, 300, ""},
    {"Dir1", Kind::FolderList, 120, 600, 4455, 1350, ""},
    {"Text1", Kind::Field, 1080, 2040, 3495, 270, ""},
    // Sized to its text.
    {"Label1", Kind::Label, 120, 2160, 900, 180, "文件放在："},
    {"Command1", Kind::Button, 840, 2520, 800, 300, "确定"},
    {"Command2", Kind::Button, 3240, 2520, 800, 300, "取消"},
}};

// The control of that name (the first for an unknown one).
constexpr const Control& control(std::string_view name) {
    for (const Control& entry : form2) {
        if (entry.name == name) {
            return entry;
        }
    }
    return form2.front();
}

} // namespace folder_chooser::layout
