#pragma once

#include "engine/result.h"

#include <array>
#include <cstdint>
#include <string>

inline constexpr const char* sizeOutOfRange = "分割后文件大小超出范围,请重新设置!";

// The state of the piece-size controls at the moment Start is pressed.
struct SizeSelection {
    int selectedOption = 2;              // Option1 index 0..3
    std::array<std::string, 4> captions; // Option1 captions, UTF-8
    std::string customText;              // the text of `other`
    std::array<bool, 3> unitChecked{};   // Check1: MB, KB, Bytes
};

// Bytes per piece, or the refusal when the custom size does not fit a piece size (2^63
// bytes or more). Whether the destination can hold such a piece is the split's question.
using PieceSizeResult = engine::Result<std::int64_t>;

// Turns the selection into bytes per piece: presets from the first four characters of
// their captions (1 MB, 1.38 MB, 500 KB), the custom number times its unit, rounded
// half to even after the unit is applied. No unit means bytes.
PieceSizeResult evaluatePieceSize(const SizeSelection& selection);

// The first `count` characters (not bytes) of UTF-8 text.
std::string firstCharacters(const std::string& utf8, std::size_t count);
