#pragma once

namespace layout {

// Window layouts are given in twips (1/1440 inch); 15 twips are one logical pixel at 96 dpi.
constexpr int twipsPerPixel = 15;
constexpr int twipsPerInch = 1440;

constexpr int twips(int value) {
    return value / twipsPerPixel;
}

// Twips as pixels on a screen of `dpi` dots per inch, to the nearest pixel (as Windows'
// MulDiv rounds): the same layout at 100 %, 150 % or 200 % scale.
constexpr int pixelsAt(int value, int dpi) {
    const long long scaled = static_cast<long long>(value) * dpi;
    const long long half = twipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / twipsPerInch
                                        : -((-scaled + half) / twipsPerInch));
}

// A place in twips and the same place in pixels at a given scale.
struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    constexpr bool operator==(const Rect&) const = default;
};

// Edges are scaled, not sizes, so that controls which meet in twips meet in pixels too.
constexpr Rect pixelsAt(const Rect& place, int dpi) {
    const int left = pixelsAt(place.left, dpi);
    const int top = pixelsAt(place.top, dpi);
    return {left, top, pixelsAt(place.left + place.width, dpi) - left,
            pixelsAt(place.top + place.height, dpi) - top};
}

} // namespace layout
