#include "engine/merge_text.h"

#include "runtime/number_text.h"

namespace engine::merge_text {

using runtime::decimalText;

std::string succeededWithRebuilt(const std::vector<int>& pieceNumbers, bool checked) {
    std::string numbers;
    for (const int number : pieceNumbers) {
        numbers += (numbers.empty() ? "" : "、") + std::to_string(number);
    }
    return "合并成功！已用恢复文件补回第" + numbers + "个分割文件" +
           (checked ? "，并按校验文件核对。" : "，并按恢复文件核对。");
}

std::string tooManyLost(int lost, int rebuildable) {
    return "有" + std::to_string(lost) + "个分割文件缺少或已损坏，恢复文件只能补回" +
           std::to_string(rebuildable) + "个，请找回其余的分割文件后再合并";
}

std::string laterPiece(int number, const std::string& first, const std::string& script) {
    return "这是第" + decimalText(number) + "个分割文件。请选择第一个分割文件“" + first + "”" +
           (script.empty() ? "" : "或合并脚本“" + script + "”");
}

std::string joinedFile(const std::string& script, const std::string& firstPiece) {
    return "这是合并后的文件。请选择合并脚本“" + script + "”或第一个分割文件“" + firstPiece + "”";
}

namespace {
std::string readingText(const std::string& target, int number) {
    return "“" + target + "”的第" + decimalText(number) + "个分割文件";
}
} // namespace

std::string twoReadings(const std::string& target1, int number1, const std::string& target2,
                        int number2) {
    return "这个文件名有两种读法：" + readingText(target1, number1) + "，或" +
           readingText(target2, number2) +
           "，这里两组的分割文件都有，无法确定该合并哪一组。"
           "请选择那一组的合并脚本，或把它的校验文件一起拷过来";
}

std::string piecesMissing(const std::string& listedBy, std::size_t listed) {
    return "缺少分割文件（" + listedBy + "共列出" + decimalText(static_cast<std::int64_t>(listed)) +
           "个）";
}

std::string pieceMissingBefore(const std::string& laterPiece) {
    return "缺少分割文件（其后还有" + laterPiece + "）";
}

std::string claimedByTwoSets(const std::string& voucher1, const std::string& target1,
                             const std::string& voucher2, const std::string& target2) {
    return "“" + voucher1 + "”把它列为“" + target1 + "”的分割文件，“" + voucher2 + "”却把它列为“" +
           target2 + "”的分割文件，无法确定它属于哪一组。请把两组文件分开放在不同的文件夹里";
}

std::string claimedByOtherSet(const std::string& voucher, const std::string& voucherTarget,
                              const std::string& target) {
    return "“" + voucher + "”把它列为“" + voucherTarget + "”的分割文件，它不属于要合并成“" +
           target + "”的这一组，无法确定它属于哪一组。请把两组文件分开放在不同的文件夹里";
}

std::string targetUnusable(const std::string& reason) {
    return "合并后的文件名不能用：" + reason;
}

std::string targetsDisagree(const std::string& listedTarget, bool byScript,
                            const std::string& target) {
    return "校验文件说合并后的文件是“" + listedTarget + "”，而" +
           (byScript ? "合并脚本" : "分割文件的名称") + "说是“" + target +
           "”，两者不一致，请重新获取这组文件";
}

std::string sizeDisagrees(std::int64_t listed, std::int64_t total) {
    return "分割文件不完整或已损坏：校验文件说合并后的文件有" + decimalText(listed) +
           "字节，而这组分割文件共有" + decimalText(total) + "字节";
}

std::string pieceDamaged(std::size_t index, const std::string& path) {
    return "第" + decimalText(static_cast<std::int64_t>(index + 1)) + "个分割文件已损坏：" + path +
           "，请重新获取";
}

std::string wholeDamaged(const char* hashName) {
    return std::string("合并结果与校验文件不符（") + hashName + "），请重新获取整组分割文件";
}

} // namespace engine::merge_text
