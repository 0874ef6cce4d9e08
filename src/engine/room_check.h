#pragma once

#include "engine/piece_plan.h"
#include "engine/result.h"
#include "runtime/file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace engine {

// The files a split replaces: their room (as stored, in whole blocks) comes back as they
// are rewritten, and they need no new entry.
struct Replaced {
    std::int64_t bytes = 0;
    std::int64_t files = 0;
};

// What a file of `bytes` bytes takes on a file system of this block size: whole blocks,
// and at least one.
std::int64_t storedSize(std::int64_t bytes, std::int64_t blockSize);

// Why the destination cannot take the planned pieces, or nothing: a piece larger than the
// largest file its file system holds, more room than it has free (counted as it stores
// files), or more new files than it can still hold.
// `extraFiles` are the sizes of other files the split writes (its recovery files).
Refusal roomShortfall(const PiecePlan& plan, const runtime::VolumeRoom& room,
                      const Replaced& replaced, const std::vector<std::int64_t>& extraFiles = {});

// The same for a merge of `total` bytes: its result is written beside the old target,
// which goes only once the new one is complete.
Refusal mergeRoomShortfall(std::int64_t total, const runtime::VolumeRoom& room);

// A size as the room messages give it: bytes below 1 MB, else MB with two decimals.
std::string byteSizeText(std::int64_t bytes);

namespace room_text {
inline constexpr const char* fatLimit = "目标磁盘是FAT格式，单个文件不能超过4GB，"
                                        "请把分割后文件大小设为4095MB或更小";
inline constexpr const char* fatLimitForMerge =
    "目标磁盘是FAT格式，单个文件不能超过4GB，合并后的文件放不下，请把分割文件拷到NTFS或exFAT格式的"
    "磁盘上再合并";
// "需要…，只有…": sizes told precisely enough to differ whenever they differ.
std::string neededAndFree(std::int64_t needed, std::int64_t available);
} // namespace room_text

} // namespace engine
