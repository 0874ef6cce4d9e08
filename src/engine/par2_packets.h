#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The packets of PAR 2.0 files, as the format lays them out (little-endian, every
// field 4-byte aligned, every packet with the MD5 of its recovery-set ID, type and body).
namespace engine::par2 {

using Md5 = std::array<std::uint8_t, 16>;

Md5 md5Of(std::string_view bytes);

// An input slice's checksums: the MD5 and CRC-32 of its bytes, the last slice of a file
// padded with zero bytes to the slice size.
struct SliceChecksum {
    Md5 md5{};
    std::uint32_t crc = 0;
};

struct InputFile {
    std::string name; // as the recovery files name it, without a folder
    std::uint64_t length = 0;
    Md5 whole{};    // MD5 of the whole file
    Md5 first16k{}; // MD5 of its first 16 KiB (all of it when shorter)
    std::vector<SliceChecksum> slices;

    // MD5 of the first 16 KiB's MD5, the length and the name.
    Md5 id() const;
};

struct RecoverySet {
    std::uint64_t sliceSize = 0; // a multiple of 4
    // In the Main packet's order, by file ID (as 16-byte little-endian numbers); the input
    // slices take their constants in this order.
    std::vector<InputFile> files;

    // Puts the files in their order.
    void sortFiles();
    // MD5 of the Main packet's body.
    Md5 id() const;
};

std::string mainPacket(const RecoverySet& set);
std::string fileDescriptionPacket(const RecoverySet& set, const InputFile& file);
std::string sliceChecksumPacket(const RecoverySet& set, const InputFile& file);
std::string recoverySlicePacket(const RecoverySet& set, std::uint32_t exponent,
                                std::string_view data);
// Names the program that made the files; every PAR 2.0 file carries one.
std::string creatorPacket(const RecoverySet& set, std::string_view creator);
// What every file of the set repeats: Main, each file's description and slice checksums.
std::string criticalPackets(const RecoverySet& set);

} // namespace engine::par2
