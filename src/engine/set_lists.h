#pragma once

#include "engine/checksum_file.h"
#include "engine/merge_decision.h"
#include "engine/merge_script_reader.h"
#include "engine/result.h"
#include "engine/set_vouchers.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace engine {

// The lists beside a set that say which pieces it has and what they hash to: this
// program's checksum file, and other tools' .crc, .sfv, .md5 and .sha256 files.

bool isBareName(const std::string& name);
bool sameNames(const std::vector<std::string>& a, const std::vector<std::string>& b);

// This program's checksum file of a set and the file it was read from (none when the set
// has none).
struct FoundChecksums {
    std::optional<SetChecksums> sums;
    const ListedFile* file = nullptr;
};
// Found by the target's name, or else as the .sha256 file of the folder that lists the
// first piece. Only the one by the target's name can stop a merge when it cannot be read;
// any other is someone else's and is passed over.
Result<FoundChecksums> findChecksums(const MergeCommand& command, const Folder& folder,
                                     const FileReader& reader);

// One of the commands a script may hold: the only one, or of several whose pieces are all
// there, the only one whose pieces are the ones its checksum file lists.
Result<MergeCommand> breakTie(const std::vector<MergeCommand>& commands, const Folder& folder,
                              const FileReader& reader);

// What another tool's list says of its set. Total Commander's .crc file names the joined
// file and gives its size and CRC-32; otherwise the first .sfv, .md5 or .sha256 file that
// lists the pieces or the target checks them.
struct OtherToolList {
    std::string target;
    std::optional<SetCheck> check;
    std::optional<std::int64_t> size;
    const ListedFile* file = nullptr;
};
Result<OtherToolList> otherToolList(const std::string& stem, const std::vector<std::string>& pieces,
                                    const Folder& folder, const FileReader& reader);

} // namespace engine
