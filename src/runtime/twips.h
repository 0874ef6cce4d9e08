#pragma once

namespace runtime {

// Window layouts are given in twips; 15 twips are one logical pixel.
constexpr int twips(int value) {
    return value / 15;
}

} // namespace runtime
