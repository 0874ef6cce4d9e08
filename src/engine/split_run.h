#pragma once

#include "engine/host.h"

#include <cstdint>
#include <string>

namespace engine {

// Cuts SFile into pieces of SplitSIZE bytes under the destination prefix Oname (a
// folder path ending in a separator, or empty for beside the source), writes the
// merge script beside them, and reports through the host. Returns false when the run
// was refused before anything was written; true otherwise, also after an error that
// the host was shown. RunCancelled from the host's event pump passes through.
bool SplitIT(Host& host, const std::string& SFile, std::int32_t SplitSIZE,
             const std::string& Oname);

// The texts the run shows.
namespace split_text {
inline constexpr const char* sizeNotPositive = "分割后文件大小必须大于0,请重新设置!";
inline constexpr const char* sourceTooSmall = "被分割文件大小小于分割后文件大小,请重新设置!";
inline constexpr const char* wouldOverwriteSource =
    "分割出的文件会覆盖源文件本身,请另选一个输出文件夹!";
inline constexpr const char* errorPrefix = "错误提示信息:";
inline constexpr const char* processing = "正在处理：";
std::string completed(int pieceCount);
} // namespace split_text

} // namespace engine
