#include "engine/room_check.h"

#include "runtime/number_text.h"

#include <algorithm>
#include <charconv>

namespace engine {

namespace {

// The script and the checksum file: one line each per piece, a hundred bytes at most.
std::int64_t voucherBytes(const PiecePlan& plan) {
    return (static_cast<std::int64_t>(plan.count) + 2) * 2 * 128;
}

} // namespace

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

std::optional<std::string> roomShortfall(const PiecePlan& plan, const runtime::VolumeRoom& room,
                                         std::int64_t reclaimed) {
    if (plan.pieceLength(1) > room.largestFile) {
        return room_text::fatLimit;
    }
    const std::int64_t needed =
        std::max<std::int64_t>(0, plan.fileLength - reclaimed) + voucherBytes(plan);
    if (needed > room.available) {
        return "目标磁盘剩余空间不足：需要" + byteSizeText(needed) + "，只有" +
               byteSizeText(room.available) +
               "。请选择剩余空间更大的目标文件夹，或腾出空间后再分割";
    }
    return std::nullopt;
}

} // namespace engine
