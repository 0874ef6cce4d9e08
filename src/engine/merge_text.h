#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace engine {

// What the merge tells the user: its status texts, and why a set cannot be joined with
// what to pick or fetch instead.
namespace merge_text {
inline constexpr const char* succeeded = "合并成功！（没有校验文件，未核对内容）";
inline constexpr const char* succeededAndChecked = "合并成功！已按校验文件核对。";
// After pieces were rebuilt from recovery files:
// "合并成功！已用恢复文件补回第5个分割文件，并按校验文件核对。"
std::string succeededWithRebuilt(const std::vector<int>& pieceNumbers, bool checked);
// More pieces lost or damaged than the recovery files can rebuild.
std::string tooManyLost(int lost, int rebuildable);
inline constexpr const char* stopped = "已停止：没有写出合并后的文件，原有的文件不变";
inline constexpr const char* nothingToMerge = "请输入要合并的文件！";
inline constexpr const char* pieceChanged = "分割文件在合并时被改动了，请重新合并";
inline constexpr const char* folderSwapped =
    "分割文件所在的文件夹在合并过程中被移走或换成了别的文件夹，请重新合并";
inline constexpr const char* notFound = "找不到要合并的文件";

// The picked file.
inline constexpr const char* notAScript = "不是合并脚本。请选择分割时生成的合并脚本（名称.BAT）"
                                          "或第一个分割文件（名称001.扩展名）";
inline constexpr const char* scriptTooLarge = "文件太大，不是合并脚本";
inline constexpr const char* scriptEncodingUnknown = "不是可以执行的合并脚本（无法识别脚本的编码）";
inline constexpr const char* linkElsewhere =
    "是指向别的文件夹的链接，合并只读取脚本所在文件夹中的文件";
// A later piece of a set; `script` may be empty.
std::string laterPiece(int number, const std::string& first, const std::string& script = {});
std::string joinedFile(const std::string& script, const std::string& firstPiece);
// A name both readings of which the folder bears out: "x1.txt"'s piece 1 or "x.txt"'s 1001.
std::string twoReadings(const std::string& target1, int number1, const std::string& target2,
                        int number2);

// The pieces.
std::string piecesMissing(const std::string& listedBy, std::size_t listed);
std::string pieceMissingBefore(const std::string& laterPiece);
inline constexpr const char* targetIsAPiece = "目标文件同时也是要合并的文件";
inline constexpr const char* pieceSizeDiffers = "分割文件大小与第一个不同，可能已损坏或不完整";
inline constexpr const char* lastPieceSize = "最后一个分割文件的大小不对，可能已损坏或不完整";
inline constexpr const char* unproven = "无法确认这组分割文件是否完整：旁边没有合并脚本和校验文件，"
                                        "而最后一个分割文件不比第一个小，后面可能还有分割文件。"
                                        "请把整组分割文件连同合并脚本和校验文件一起拷过来";
std::string claimedByTwoSets(const std::string& voucher1, const std::string& target1,
                             const std::string& voucher2, const std::string& target2);
std::string claimedByOtherSet(const std::string& voucher, const std::string& voucherTarget,
                              const std::string& target);

// The target.
inline constexpr const char* targetWithFolder = "合并后的文件名不能带文件夹或驱动器";
std::string targetUnusable(const std::string& reason);
inline constexpr const char* targetNotText =
    "合并后的文件名不是有效的文字（编码无法识别），请检查合并脚本或校验文件";
inline constexpr const char* targetLikeATemporary =
    "合并后的文件名与本程序的临时文件同名，请把合并脚本中的目标文件改名";
inline constexpr const char* targetOccupied =
    "合并后的文件名已被文件夹、设备或管道占用，请把它改名后再合并";
inline constexpr const char* targetIsAVoucher =
    "合并后的文件会覆盖这组文件的合并脚本或校验文件本身，请检查合并脚本";

// The lists.
inline constexpr const char* damagedChecksumFile = "校验文件已损坏，无法读取，请重新获取";
inline constexpr const char* scriptAmbiguous =
    "合并脚本的文字有几种读法，每种都指向这里现有的文件，无法确定该合并哪些。"
    "请选择第一个分割文件来合并，或把这组文件的校验文件一起拷过来";
inline constexpr const char* listsDisagree =
    "合并脚本和校验文件列出的分割文件不一致，请重新获取这组文件";
std::string targetsDisagree(const std::string& listedTarget, bool byScript,
                            const std::string& target);
std::string sizeDisagrees(std::int64_t listed, std::int64_t total);

// The joined bytes.
std::string pieceDamaged(std::size_t index, const std::string& path);
std::string wholeDamaged(const char* hashName);
} // namespace merge_text

} // namespace engine
