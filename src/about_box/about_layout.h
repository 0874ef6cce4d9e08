#pragma once

#include <array>
#include <functional>
#include <string>

// The About box as both front ends build it: places in twips from the client area, colours,
// faces and texts.
namespace about_box {

struct Rgb {
    int red, green, blue;
};

// The three named faces are Chinese (GB2312) ones; Default is the platform's dialog font.
enum class Face { Default, LiSu, XinWei, SimSun };

enum class Text { Icon, Title, Version, Author, Contact, Notice };

struct Label {
    const char* name;
    Text text;
    int left, top, width, height;
    Rgb colour;
    Face face;
    double points; // 0 with the default face
    bool bold;
    // Grows or shrinks to its text; a fixed label wraps at its width and cuts what falls
    // below its height.
    bool sizedToText;
};

inline constexpr int clientWidth = 4605;
inline constexpr int clientHeight = 2415;
// Where the client area's top-left corner always opens on the screen.
inline constexpr int screenLeft = 2340;
inline constexpr int screenTop = 1935;
inline constexpr Rgb background{255, 192, 192};
inline constexpr Rgb textColour{0, 0, 0};
// The icon's size in pixels.
inline constexpr int iconPixels = 48;

inline constexpr std::array<Label, 6> labels{{
    {"Image1", Text::Icon, 0, 0, 720, 720, textColour, Face::Default, 0, false, false},
    {"lblTitle", Text::Title, 960, 120, 3405, 480, {0, 128, 0}, Face::LiSu, 21.75, true, false},
    {"lblVersion",
     Text::Version,
     1920,
     600,
     1125,
     225,
     {128, 128, 255},
     Face::Default,
     0,
     false,
     false},
    {"Label1", Text::Author, 1200, 960, 2100, 285, {192, 0, 0}, Face::XinWei, 14.25, true, true},
    {"Label2", Text::Contact, 840, 1440, 2880, 240, {0, 0, 255}, Face::SimSun, 12, false, true},
    {"lblDescription",
     Text::Notice,
     120,
     2040,
     4410,
     180,
     {192, 64, 0},
     Face::Default,
     0,
     false,
     true},
}};

// The member of a view (Qt's or Windows') that holds a label, named as in the table.
template <typename Box> auto& memberOf(Box& box, Text text) {
    switch (text) {
    case Text::Title:
        return box.lblTitle;
    case Text::Version:
        return box.lblVersion;
    case Text::Author:
        return box.Label1;
    case Text::Contact:
        return box.Label2;
    case Text::Notice:
        return box.lblDescription;
    case Text::Icon:
        break;
    }
    return box.Image1;
}

// The label of that name (the icon for an unknown one).
const Label& label(const std::string& name);

// What a label shows once the box is loaded; the icon shows no text.
std::string textOf(Text text);

// The title's size: its own points, or, where a stand-in face runs wider and `fits` says
// the title would not fit its one line, three quarters of a point less at a time, down to
// `smallestTitlePoints`, rather than wrap it into the version below.
inline constexpr double smallestTitlePoints = 12;
double titlePoints(const std::function<bool(double points)>& fits);

} // namespace about_box
