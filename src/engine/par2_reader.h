#pragma once

#include "engine/file_opener.h"
#include "engine/par2_packets.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What PAR 2.0 files say, whichever client made them: packets whose checksum fails, or that
// belong to another recovery set, are passed over, as the format asks.
namespace engine::par2 {

struct ReadRecoverySet {
    RecoverySet set; // files in the Main packet's order, each with its description
    std::map<std::uint32_t, std::string> recovery; // recovery data by exponent
};

// The set the files describe: the first Main packet's, with every description, slice
// checksums and recovery slice of that set found in any of them. Nothing when there is no
// whole Main packet or a file of its set has no description. Recovery data past
// `memoryLimit` bytes is not kept (counted as missing).
std::optional<ReadRecoverySet> readRecoveryFiles(FileOpener& files,
                                                 const std::vector<std::string>& paths,
                                                 std::uint64_t memoryLimit);
// The same from one file's bytes (an index).
std::optional<ReadRecoverySet> readRecoveryBytes(std::string_view bytes, std::uint64_t memoryLimit);

} // namespace engine::par2
