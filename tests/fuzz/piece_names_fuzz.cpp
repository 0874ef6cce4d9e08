// The piece-name readers: this program's (name001.ext) and other tools' (name.ext.001).
// Every reading names the very file it was read from.
#include "engine/other_sets.h"
#include "engine/piece_set.h"
#include "fuzz_check.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    for (const engine::PieceReading& reading : engine::readPieceName(name)) {
        require(reading.number >= 1 && reading.number <= engine::maxPieceCount,
                "a piece number is one the split writes", name);
        require(reading.set.pieceName(reading.number) == name, "a reading names its file", name);
        require(reading.set.pieceNumber(name) == reading.number, "its set numbers it alike", name);
    }
    if (const auto other = engine::readOtherPieceName(name)) {
        require(other->number >= 1, "another tool's piece number is positive", name);
        require(engine::otherPieceName(other->stem, other->number) == name,
                "another tool's reading names its file", name);
    }
    return 0;
}
