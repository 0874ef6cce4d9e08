#pragma once

#include "main_window/piece_size.h"

#include <cstdint>
#include <string>
#include <vector>

// What the main window decides, whichever toolkit draws it.
namespace window_rules {

inline constexpr const char* windowCaption = "Corvane文件切割机v2.0";
inline constexpr const char* noSourceFile = "请选择要分割的文件！";

// The status line after a file is chosen: "文件大小：" and the length in KB, rounded half
// to even to two decimals, in the plain number form, then "KBytes" (1536 -> " 1.5").
std::string sizeLine(std::int64_t fileLength);

// What choosing a source file shows: the size line, or the message when its length
// cannot be read (a typed name that names no file, a folder).
engine::Result<std::string> reportSource(const std::string& path);

// What Start does: split with this piece size, or show the problem's message instead.
engine::Result<std::int64_t> startRequest(const std::string& source,
                                          const SizeSelection& selection);

// How many lost pieces the recovery files are to rebuild, as the recovery field holds it: a
// whole number from 0 (none; also an empty field) to 32767, blanks around it allowed.
engine::Result<int> recoveryPieces(const std::string& text);
inline constexpr const char* recoveryNotANumber =
    "恢复文件可补回的分割文件数请填0（不要恢复文件）或一个正整数!";

// The destination prefix a typed 文件放在 stands for: an existing folder typed without a
// final separator is that folder; any other text keeps the prefix rule (names are appended
// to it as they stand).
std::string destinationPrefix(const std::string& dec);

// The file a drop hands over: the first of the dropped paths that is not a folder (nor
// missing); empty when there is none.
std::string firstDroppedFile(const std::vector<std::string>& paths);

} // namespace window_rules
