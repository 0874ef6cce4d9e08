#include "engine/piece_plan.h"

#include "runtime/error.h"
#include "runtime/number_text.h"

#include <limits>

namespace engine {

using runtime::Error;
using runtime::ErrorNumber;

bool passesSizeGate(std::int64_t fileLength, std::int32_t pieceSize) {
    // 64-bit, so a piece size of 2147483647 is a size like any other.
    return fileLength > static_cast<std::int64_t>(pieceSize) + 1;
}

std::int16_t pieceCount(std::int64_t fileLength, std::int32_t pieceSize) {
    if (pieceSize == 0) {
        throw Error(ErrorNumber::DivisionByZero);
    }
    if (pieceSize < 0 || fileLength < 0) {
        throw Error(ErrorNumber::InvalidArgument);
    }
    const std::int64_t count = fileLength / pieceSize + (fileLength % pieceSize != 0 ? 1 : 0);
    if (count > std::numeric_limits<std::int16_t>::max()) {
        throw Error(ErrorNumber::Overflow);
    }
    return static_cast<std::int16_t>(count);
}

std::string bareName(const std::string& path, char separator) {
    const auto cut = path.rfind(separator);
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string folderPrefix(const std::string& path, char separator) {
    const auto cut = path.rfind(separator);
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

PiecePlan makePlan(const std::string& sourcePath, std::int32_t pieceSize,
                   const std::string& destinationPrefix, std::int64_t fileLength, char separator) {
    PiecePlan plan;
    plan.fileLength = fileLength;
    plan.pieceSize = pieceSize;
    plan.separator = separator;
    plan.count = pieceCount(fileLength, pieceSize);
    plan.sourceFolder = folderPrefix(sourcePath, separator);
    plan.sourceName = bareName(sourcePath, separator);
    const std::string& prefix = destinationPrefix.empty() ? plan.sourceFolder : destinationPrefix;
    plan.outputPath = prefix + plan.sourceName;
    // The extension is looked for in the file name only, so a dotted folder name
    // cannot send the pieces into other folders. A name without a dot has none.
    const auto dot = plan.sourceName.find('.');
    const std::size_t baseLength =
        prefix.size() + (dot == std::string::npos ? plan.sourceName.size() : dot);
    plan.outputBase = plan.outputPath.substr(0, baseLength);
    plan.extension = plan.outputPath.substr(baseLength);
    plan.scriptPath = plan.outputBase + ".BAT";
    plan.targetName = bareName(plan.outputBase, separator) + plan.extension;
    return plan;
}

std::string PiecePlan::piecePath(int number) const {
    return outputBase + runtime::formatPieceNumber(number) + extension;
}

std::string PiecePlan::pieceBareName(int number) const {
    return bareName(piecePath(number), separator);
}

std::int64_t PiecePlan::pieceLength(int number) const {
    if (number < count) {
        return pieceSize;
    }
    return fileLength - static_cast<std::int64_t>(count - 1) * pieceSize;
}

std::string PiecePlan::outputFolder() const {
    return folderPrefix(outputPath, separator);
}

} // namespace engine
