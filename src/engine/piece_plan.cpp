#include "engine/piece_plan.h"

#include "runtime/error.h"

namespace engine {

bool passesSizeGate(std::int64_t fileLength, std::int64_t pieceSize) {
    // Written so that no piece size, up to 2^63 - 1, can overflow.
    return fileLength > 0 && fileLength - 1 > pieceSize;
}

std::int64_t pieceCount(std::int64_t fileLength, std::int64_t pieceSize) {
    if (pieceSize <= 0 || fileLength < 0) {
        throw runtime::Error(runtime::ErrorNumber::InvalidArgument);
    }
    return fileLength / pieceSize + (fileLength % pieceSize != 0 ? 1 : 0);
}

PiecePlan makePlan(const std::string& sourcePath, std::int64_t pieceSize,
                   const std::string& destinationPrefix, std::int64_t fileLength,
                   runtime::PathStyle style) {
    PiecePlan plan;
    plan.fileLength = fileLength;
    plan.pieceSize = pieceSize;
    const std::int64_t count = pieceCount(fileLength, pieceSize);
    if (count > maxPieceCount) {
        throw runtime::Error(runtime::ErrorNumber::Overflow);
    }
    plan.count = static_cast<int>(count);
    const runtime::PathParts source = runtime::splitPath(sourcePath, style);
    plan.sourceFolder = source.folder;
    plan.sourceName = source.name;
    // The extension is looked for in the file name only, so a dotted folder name
    // cannot send the pieces into other folders.
    plan.names = PieceSet::forSource(
        destinationPrefix.empty() ? plan.sourceFolder : destinationPrefix, plan.sourceName);
    return plan;
}

std::int64_t PiecePlan::pieceLength(int number) const {
    if (number < count) {
        return pieceSize;
    }
    return fileLength - static_cast<std::int64_t>(count - 1) * pieceSize;
}

std::optional<char> characterNoScriptCarries(const std::string& name) {
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '"' || c == '*' || c == '?' || c == '<' ||
            c == '>' || c == '|') {
            return c;
        }
    }
    return std::nullopt;
}

} // namespace engine
