#pragma once

#include "engine/checksum_file.h"
#include "engine/result.h"
#include "runtime/error.h"
#include "runtime/file.h"
#include "runtime/hasher.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace engine {

// One entry of the folder that holds what the user picked.
using ListedFile = runtime::FolderEntry;

// The bytes of a file in that folder (a script or a checksum file); throws
// runtime::Error when it cannot be read.
using FileReader = std::function<std::string(const std::string& name)>;

struct MergePiece {
    std::string name;
    std::int64_t size = 0;
    // What the name led to when the merge was decided: the file opened must be that one.
    std::optional<runtime::FileIdentity> identity = {};
};

// What the joined bytes must hash to, from the checksum file beside the set: this program's
// own .sha256 file, or another tool's .crc, .sfv, .md5 or .sha256 file.
struct SetCheck {
    runtime::HashKind kind = runtime::HashKind::Sha256;
    std::vector<std::string> pieces; // one per piece, in order; empty when not listed
    std::string whole;               // the joined file's; empty when not listed
    std::string file;                // the checksum file's bare name
};

// What to join: the pieces in order, with the sizes they had when the merge was decided,
// into the target, all bare names in the picked file's folder.
struct MergePlan {
    std::vector<MergePiece> pieces;
    std::string target;
    std::int64_t total = 0;
    // The hashes the pieces and the result must have, from the set's checksum file.
    std::optional<SetCheck> checksums;
};

// What to join, or why nothing is (a refusal; its name is the file of the folder it
// concerns, and may be empty).
using MergeDecision = Result<MergePlan>;

// Decides a merge from what was picked (a bare name in the listed folder) without
// touching a file. The set's checksum file, where there is one, is the list of pieces
// and gives their hashes. Without it, a merge script is the list; the first piece of a
// set uses the script beside it when that script lists the piece, or else joins the
// set's numbered pieces when they end in a shorter piece. Every piece must be there,
// and pieces numbered as the split numbers them must have the split's sizes; a later
// piece, the joined file or any other file is refused with what to pick instead.
// Another tool's set is joined from its first piece ("name.ext.001", "name.001") under
// the same rules, into the name its .crc file gives or the pieces' name without ".001".
MergeDecision decideMerge(const std::string& picked, const std::vector<ListedFile>& listing,
                          const FileReader& readFile);

} // namespace engine
