#pragma once

#include <array>
#include <string_view>

// The main window's controls as both front ends build them: names, kinds, frames, places
// in twips (from the window's client area, also for a control inside a frame) and
// captions. The order is the order they are made in, and so the tab order.
namespace main_window::layout {

enum class Kind { Frame, Label, Field, ReadOnlyField, Button, Option, Check };

struct Control {
    const char* name;
    Kind kind;
    const char* frame; // the frame that holds it, or "" for the window itself
    int left, top, width, height;
    const char* caption;
};

inline constexpr int windowWidth = 6240;
// One row taller than the original 4380 twips: the recovery row between the merge frame
// and the buttons, which move down by it with the status line.
inline constexpr int recoveryRow = 390;
inline constexpr int windowHeight = 4380 + recoveryRow;
// The status bar along the bottom, and the progress bar at its right end.
inline constexpr int statusHeight = 255;
inline constexpr int progressWidth = 1500;

// The window itself, to which a control without a frame belongs.
inline constexpr Control window{"", Kind::Frame, "", 0, 0, windowWidth, windowHeight, ""};

inline constexpr std::array<Control, 27> form1{{
    {"Frame1", Kind::Frame, "", 120, 120, 6015, 1095, "文件路径"},
    {"Label1", Kind::Label, "Frame1", 240, 480, 900, 180, "源文件是："},
    {"Label2", Kind::Label, "Frame1", 240, 840, 900, 180, "文件放在："},
    {"src", Kind::ReadOnlyField, "Frame1", 1200, 360, 3840, 270, ""},
    {"dec", Kind::ReadOnlyField, "Frame1", 1200, 720, 3840, 270, ""},
    {"browse", Kind::Button, "Frame1", 5160, 360, 855, 300, "浏览..."},
    {"saveto", Kind::Button, "Frame1", 5160, 720, 855, 300, "浏览..."},
    {"Frame3", Kind::Frame, "", 120, 1440, 6015, 1335, "切割后文件大小"},
    {"Frame4", Kind::Frame, "", 120, 2880, 6015, 735, "合并文件"},
    {"Label5", Kind::Label, "Frame4", 240, 3240, 1260, 180, "要合并的文件："},
    {"src1", Kind::Field, "Frame4", 1560, 3120, 3480, 270, ""},
    {"Command3", Kind::Button, "Frame4", 5160, 3120, 855, 300, "浏览..."},
    // How many lost pieces the recovery files can rebuild: "恢复文件：可补回 N 个分割文件".
    {"Label6", Kind::Label, "", 240, 3765, 1500, 180, "恢复文件：可补回"},
    {"recovery", Kind::Field, "", 1860, 3705, 615, 270, ""},
    {"Label7", Kind::Label, "", 2580, 3765, 1200, 180, "个分割文件"},
    {"start", Kind::Button, "", 600, 3720 + recoveryRow, 800, 360, "切割(&S)"},
    {"copy", Kind::Button, "", 2160, 3720 + recoveryRow, 800, 360, "合并(&C)"},
    {"about", Kind::Button, "", 3600, 3720 + recoveryRow, 800, 360, "关于(&A)"},
    {"quit", Kind::Button, "", 5040, 3720 + recoveryRow, 800, 360, "退出(Q)"},
    {"other", Kind::Field, "Frame3", 360, 2280, 3240, 270, ""},
    // The unit boxes belong to the window and are drawn over the size frame. "KB" gets
    // 600 twips rather than 495, where its caption was cut to "KE".
    {"Check1_0", Kind::Check, "", 3840, 2280, 615, 255, "MB"},
    {"Check1_1", Kind::Check, "", 4560, 2280, 600, 255, "KB"},
    {"Check1_2", Kind::Check, "", 5160, 2280, 855, 255, "Bytes"},
    {"Option1_0", Kind::Option, "Frame3", 1560, 1800, 855, 255, "1MB"},
    {"Option1_1", Kind::Option, "Frame3", 360, 1800, 975, 255, "1.38MB"},
    {"Option1_2", Kind::Option, "Frame3", 2520, 1800, 2175, 255, "500KB（手机电子书）"},
    {"Option1_3", Kind::Option, "Frame3", 4920, 1680, 1095, 495, "其它容量"},
}};

// The control of that name; the window for an empty or unknown name.
constexpr const Control& control(std::string_view name) {
    for (const Control& entry : form1) {
        if (entry.name == name) {
            return entry;
        }
    }
    return window;
}

// The place of a control inside its frame, as a toolkit whose frames hold their
// controls wants it.
constexpr Control withinFrame(const Control& entry) {
    Control inside = entry;
    const Control& frame = control(entry.frame);
    inside.left -= frame.left;
    inside.top -= frame.top;
    return inside;
}

} // namespace main_window::layout
