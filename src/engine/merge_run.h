#pragma once

#include "engine/host.h"

#include <string>

namespace engine {

// Joins pieces back into their source file. `picked` is a merge script, or the first
// piece of a split (name001.ext): then the script name.BAT beside it is used, or,
// without one, name001.ext, name002.ext, ... up to the last consecutive number.
// Names resolve in the picked file's folder and the target is written there, to a
// temporary file first, so a failed merge leaves an old target untouched. Every
// failure ends in a message; returns true only when the target is complete.
// RunCancelled from the host's event pump passes through.
bool MergeIT(Host& host, const std::string& picked);

namespace merge_text {
inline constexpr const char* succeeded = "合并成功！";
inline constexpr const char* nothingToMerge = "请输入要合并的文件！";
} // namespace merge_text

} // namespace engine
