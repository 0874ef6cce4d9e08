#pragma once

#include "engine/file_opener.h"
#include "engine/host.h"
#include "engine/result.h"

#include <string>

namespace engine {

// Joins pieces back into their source file. `picked` is a merge script, or the first
// piece of a set (name001.ext); what is joined is decided by decideMerge from the
// picked file's folder before anything is written. The target is written to a
// temporary file in that folder first, so a failed merge leaves an old target
// untouched. Every refusal and failure ends in a message, never in the success text; a
// merge the user stops (the host's RunCancelled) leaves nothing.
RunOutcome MergeIT(Host& host, const std::string& picked, FileOpener& files = systemFiles());

namespace merge_text {
inline constexpr const char* succeeded = "合并成功！（没有校验文件，未核对内容）";
inline constexpr const char* succeededAndChecked = "合并成功！已按校验文件核对。";
inline constexpr const char* stopped = "已停止：没有写出合并后的文件，原有的文件不变";
inline constexpr const char* nothingToMerge = "请输入要合并的文件！";
inline constexpr const char* pieceChanged = "分割文件在合并时被改动了，请重新合并";
inline constexpr const char* folderSwapped =
    "分割文件所在的文件夹在合并过程中被移走或换成了别的文件夹，请重新合并";
} // namespace merge_text

} // namespace engine
