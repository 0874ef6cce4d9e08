#pragma once

#include "engine/file_opener.h"
#include "engine/host.h"
#include "engine/result.h"

#include <cstdint>
#include <string>

namespace engine {

// Cuts SFile into pieces of SplitSIZE bytes under the destination prefix Oname (a
// folder path ending in a separator, or empty for beside the source), writes the
// merge script and the checksum file beside them, and reports through the host: progress and
// completion in the status line, a refusal or an error in a message. Nothing is written when the
// run is refused; pieces already written stay when it fails, and no script is written then. A
// run the user stops (the host's RunCancelled) removes the pieces it wrote.
RunOutcome SplitIT(Host& host, const std::string& SFile, std::int64_t SplitSIZE,
                   const std::string& Oname, FileOpener& files = systemFiles());
// The same, with recovery files (PAR 2.0) that can rebuild any `recoveryPieces` lost or
// damaged pieces, written after the pieces and before the script; 0 writes none. Recovery
// files an older split of the same file left beside the pieces go in either case.
RunOutcome SplitIT(Host& host, const std::string& SFile, std::int64_t SplitSIZE,
                   const std::string& Oname, int recoveryPieces, FileOpener& files = systemFiles());

struct Voucher;

// The texts the run shows.
namespace split_text {
inline constexpr const char* sizeNotPositive = "分割后文件大小必须大于0,请重新设置!";
inline constexpr const char* sourceTooSmall = "被分割文件大小小于分割后文件大小,请重新设置!";
inline constexpr const char* sourceEmpty =
    "要分割的文件大小为0字节（空文件，或系统生成、读不出长度的文件），无法分割，请另选一个文件!";
inline constexpr const char* nameNotText =
    "文件名不是有效的UTF-8文字（可能是别的系统用另一种编码起的名字），合并脚本和校验文件写不出它，"
    "请给文件改名后再分割!";
inline constexpr const char* tooManyPieces = "分割后的文件超过32767个,请把分割后文件大小设大一些!";
inline constexpr const char* wouldOverwriteSource =
    "分割出的文件会覆盖源文件本身,请另选一个输出文件夹!";
inline constexpr const char* errorPrefix = "错误提示信息:";
// What a run says of a fault no check foresaw.
inline constexpr const char* internalError = "程序内部错误，操作没有完成，请重试";
inline constexpr const char* processing = "正在处理：";
inline constexpr const char* sourceChanged =
    "源文件在分割过程中被改动了，分割出的文件不完整，请等它不再变化后重新分割";
std::string completed(int pieceCount);
// The refusal of a run into a folder that another split or merge is using.
std::string folderBusy(const std::string& folderPrefix);
inline constexpr const char* folderSwapped =
    "输出文件夹在分割过程中被移走或换成了别的文件夹，分割出的文件不完整，请重新分割";
// What the status line says after the user stopped a split.
std::string stopped(int removedPieces);
// The refusal of a split that would overwrite a file another set's voucher lists.
std::string wouldRuinOtherSet(const std::string& name, const Voucher& voucher);
// The refusal of a name the run would write that the file system cannot take.
std::string nameUnusable(const std::string& name, const std::string& reason);
// The refusal of a source name with a character no merge script can carry.
std::string nameNotCarried(char character);
} // namespace split_text

} // namespace engine
