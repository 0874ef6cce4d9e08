#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// The most pieces a set may have: piece numbers are 16-bit signed integers.
inline constexpr int maxPieceCount = 32767;

// The names of one set of pieces, made and read back by one rule: piece k is
// base + k in at least three digits ("00#") + extension, beside base + ".BAT" (the
// merge script) and base + extension (the joined file), all in one folder.
class PieceSet {
public:
    PieceSet() = default;
    // folder is empty or ends in a separator; base and extension are bare.
    PieceSet(std::string folder, std::string base, std::string extension);
    // The set a source file's pieces form in `folder`: the name cut at its first dot
    // ("linux-6.1.tar.xz" gives base "linux-6", extension ".1.tar.xz"); a name without
    // a dot has no extension.
    static PieceSet forSource(const std::string& folder, const std::string& sourceName);

    const std::string& folder() const { return folder_; }
    const std::string& base() const { return base_; }
    const std::string& extension() const { return extension_; }

    std::string pieceName(int number) const;
    std::string piecePath(int number) const { return folder_ + pieceName(number); }
    std::string scriptName() const { return base_ + ".BAT"; }
    std::string scriptPath() const { return folder_ + scriptName(); }
    std::string targetName() const { return base_ + extension_; }

    // The number `name` has as a piece of this set; 0 when it is not one of its pieces.
    int pieceNumber(std::string_view name) const;

private:
    std::string folder_;
    std::string base_;
    std::string extension_;
};

// name + suffix, with the name cut (at a character's first byte, and marked with "~")
// where the whole would pass the 255 bytes a file name may have.
std::string fittingName(const std::string& name, const std::string& suffix);

// The name a file is written under until it is complete: name + ".part" (with the
// attempt's number after the first), kept a valid name by fittingName.
std::string temporaryName(const std::string& name, int attempt);

// One way to read a bare name as piece `number` of a set (the set's folder is empty).
struct PieceReading {
    PieceSet set;
    int number = 0;
};

// Every reading of a bare name as a piece: one for each way its digits before the
// extension part into a base and a number the split would write. "photo2001.jpg" is
// piece 1 of photo2.jpg and piece 2001 of photo.jpg; shortest number first.
std::vector<PieceReading> readPieceName(const std::string& name);

} // namespace engine
