#pragma once

#include "engine/piece_set.h"
#include "runtime/path.h"

#include <cstdint>
#include <optional>
#include <string>

namespace engine {

// How a source file is cut: piece count and sizes, and the set of names its pieces,
// merge script and joined file get. Pure arithmetic and string work.
struct PiecePlan {
    std::int64_t fileLength = 0;
    std::int64_t pieceSize = 0;
    int count = 0;
    std::string sourceFolder; // up to and including the last separator
    std::string sourceName;   // after the last separator
    PieceSet names;           // in the destination folder, or beside the source

    std::string piecePath(int number) const { return names.piecePath(number); }
    std::string pieceBareName(int number) const { return names.pieceName(number); }
    std::int64_t pieceLength(int number) const;
};

// The size gate: a plan is made only for a file longer than pieceSize + 1 bytes.
bool passesSizeGate(std::int64_t fileLength, std::int64_t pieceSize);

// The number of pieces, ceil(length / size), for a positive size; may exceed
// maxPieceCount, which the run refuses.
std::int64_t pieceCount(std::int64_t fileLength, std::int64_t pieceSize);

// Makes the plan for a positive piece size that passes the size gate and gives at most
// maxPieceCount pieces. An empty destination prefix puts everything beside the source.
PiecePlan makePlan(const std::string& sourcePath, std::int64_t pieceSize,
                   const std::string& destinationPrefix, std::int64_t fileLength,
                   runtime::PathStyle style);

// The first character of a source name that a merge script cannot carry (a control
// character, a double quote, or one that Windows names and COPY cannot take: * ? < > |),
// or nothing when every character can be written.
std::optional<char> characterNoScriptCarries(const std::string& name);

} // namespace engine
