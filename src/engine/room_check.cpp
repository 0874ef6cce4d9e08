#include "engine/room_check.h"

#include "runtime/number_text.h"

#include <algorithm>
#include <charconv>

namespace engine {

namespace {

// The script and the checksum file: one line each per piece, a hundred bytes at most.
std::int64_t voucherBytes(const PiecePlan& plan) {
    return (static_cast<std::int64_t>(plan.count) + 2) * 128;
}

// The files a split makes besides its pieces: the script, the checksum file, and the
// temporary each is written to first.
constexpr std::int64_t voucherFiles = 3;

std::string notEnoughRoom(std::int64_t needed, std::int64_t available, const char* then) {
    return "目标磁盘剩余空间不足：" + room_text::neededAndFree(needed, available) + "。" + then;
}

Refusal full(std::string message) {
    return refusal(runtime::ErrorNumber::DiskFull, std::move(message));
}

} // namespace

std::int64_t storedSize(std::int64_t bytes, std::int64_t blockSize) {
    const std::int64_t block = std::max<std::int64_t>(1, blockSize);
    const std::int64_t blocks = std::max<std::int64_t>(1, bytes / block + (bytes % block ? 1 : 0));
    return blocks > std::numeric_limits<std::int64_t>::max() / block
               ? std::numeric_limits<std::int64_t>::max()
               : blocks * block;
}

std::string byteSizeText(std::int64_t bytes) {
    constexpr std::int64_t megabyte = 1 << 20;
    if (bytes < megabyte) {
        return runtime::decimalText(bytes) + "字节";
    }
    char text[32];
    // Not printf: its decimal point is the locale's.
    const auto end = std::to_chars(text, text + sizeof text, static_cast<double>(bytes) / megabyte,
                                   std::chars_format::fixed, 2)
                         .ptr;
    return std::string(text, end) + "MB";
}

std::string room_text::neededAndFree(std::int64_t needed, std::int64_t available) {
    std::string first = byteSizeText(needed);
    std::string second = byteSizeText(available);
    if (first == second && needed != available) {
        first = runtime::decimalText(needed) + "字节";
        second = runtime::decimalText(available) + "字节";
    }
    return "需要" + first + "，只有" + second;
}

Refusal roomShortfall(const PiecePlan& plan, const runtime::VolumeRoom& room,
                      const Replaced& replaced, const std::vector<std::int64_t>& extraFiles) {
    if (plan.pieceLength(1) > room.largestFile) {
        return full(room_text::fatLimit);
    }
    const std::int64_t block = room.blockSize;
    const std::int64_t pieces =
        (static_cast<std::int64_t>(plan.count) - 1) * storedSize(plan.pieceLength(1), block) +
        storedSize(plan.pieceLength(plan.count), block) + 2 * storedSize(voucherBytes(plan), block);
    std::int64_t stored = pieces;
    for (const std::int64_t bytes : extraFiles) {
        stored += storedSize(bytes, block);
    }
    const std::int64_t needed = std::max<std::int64_t>(0, stored - replaced.bytes);
    if (needed > room.available) {
        return full(notEnoughRoom(needed, room.available,
                                  "请选择剩余空间更大的目标文件夹，或腾出空间后再分割"));
    }
    const std::int64_t newFiles = std::max<std::int64_t>(0, plan.count - replaced.files) +
                                  voucherFiles + static_cast<std::int64_t>(extraFiles.size());
    if (room.freeFiles >= 0 && newFiles > room.freeFiles) {
        return full("目标磁盘能建的文件数已到上限：需要新建" + runtime::decimalText(newFiles) +
                    "个文件，只能再建" + runtime::decimalText(room.freeFiles) +
                    "个。请把分割后文件大小设大一些，或选择别的目标文件夹");
    }
    return std::nullopt;
}

Refusal mergeRoomShortfall(std::int64_t total, const runtime::VolumeRoom& room) {
    if (total > room.largestFile) {
        return full(room_text::fatLimitForMerge);
    }
    const std::int64_t needed = storedSize(total, room.blockSize);
    if (needed > room.available) {
        return full(notEnoughRoom(needed, room.available,
                                  "请腾出空间后再合并（原有的同名文件要等新文件写完才会被替换）"));
    }
    if (room.freeFiles == 0) {
        return full("目标磁盘能建的文件数已到上限，请删掉一些文件后再合并");
    }
    return std::nullopt;
}

} // namespace engine
