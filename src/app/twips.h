#pragma once

namespace layout {

// Window layouts are given in twips (1/1440 inch); 15 twips are one logical pixel at 96 dpi.
constexpr int twipsPerPixel = 15;

constexpr int twips(int value) {
    return value / twipsPerPixel;
}

} // namespace layout
