#pragma once

#include <cstdint>
#include <string>

namespace engine {

// How a source file is cut: piece count and sizes, and the names of the pieces,
// the merge script and the joined file. Pure arithmetic and string work.
struct PiecePlan {
    std::int64_t fileLength = 0;
    std::int32_t pieceSize = 0;
    std::int16_t count = 0;
    char separator = '/';
    std::string sourceFolder; // up to and including the last separator
    std::string sourceName;   // after the last separator
    std::string outputPath;   // destination prefix (or source folder) + source name
    std::string extension;    // from the first "." of the source name, dot included
    std::string outputBase;   // output path without the extension
    std::string scriptPath;   // output base + ".BAT"
    std::string targetName;   // bare output base + extension

    std::string piecePath(int number) const;     // output base + "00#" + extension
    std::string pieceBareName(int number) const; // piece path without its folder
    std::int64_t pieceLength(int number) const;
    // The folder part of the output path, with its trailing separator (may be empty).
    std::string outputFolder() const;
};

// The size gate: a plan is made only for a file longer than pieceSize + 1 bytes.
bool passesSizeGate(std::int64_t fileLength, std::int32_t pieceSize);

// The number of pieces, ceil(length / size); throws Error(Overflow) beyond 32767
// and Error(DivisionByZero) for a zero size.
std::int16_t pieceCount(std::int64_t fileLength, std::int32_t pieceSize);

// The part of path after its last separator; the whole path when it has none.
std::string bareName(const std::string& path, char separator);
// The part of path up to and including its last separator; empty when it has none.
std::string folderPrefix(const std::string& path, char separator);

// Makes the plan for a positive piece size that passes the size gate. An empty
// destination prefix puts everything beside the source.
PiecePlan makePlan(const std::string& sourcePath, std::int32_t pieceSize,
                   const std::string& destinationPrefix, std::int64_t fileLength, char separator);

} // namespace engine
