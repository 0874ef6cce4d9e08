#pragma once

#include "engine/piece_plan.h"
#include "runtime/file.h"

#include <cstdint>
#include <optional>
#include <string>

namespace engine {

// Why the destination cannot take the planned pieces, or nothing: a piece larger than the
// largest file its file system holds, or more bytes than it has free. `reclaimed` is what
// the files the split replaces hold now (their space comes back as they are rewritten).
std::optional<std::string> roomShortfall(const PiecePlan& plan, const runtime::VolumeRoom& room,
                                         std::int64_t reclaimed);

// A size as the room messages give it: bytes below 1 MB, else MB with two decimals.
std::string byteSizeText(std::int64_t bytes);

namespace room_text {
inline constexpr const char* fatLimit = "目标磁盘是FAT格式，单个文件不能超过4GB，"
                                        "请把分割后文件大小设为4095MB或更小";
} // namespace room_text

} // namespace engine
